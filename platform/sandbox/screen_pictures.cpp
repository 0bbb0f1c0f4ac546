// Writing pictures of the simulated screen.
#include "platform/sandbox/screen_pictures.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace rvx::sandbox {

namespace fs = std::filesystem;

namespace {

// The number after which new pictures are numbered: the highest of the folder's "NNNN-..."
// files, so that a later run never overwrites what the journal names of an earlier one.
int HighestNumber(const fs::path& folder) {
    int highest = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        int number = 0;
        size_t at = 0;
        while (at < name.size() && at < 9 && name[at] >= '0' && name[at] <= '9') number = number * 10 + (name[at++] - '0');
        if (at > 0) highest = std::max(highest, number);
    }
    return highest;
}

}  // namespace

RasterImage PaintScreenImage(const DisplayConfig& display, ScreenPainter& painter, HostFonts& fonts, const ScreenState& screen) {
    RasterImage image(display.width, display.height, kDesktopColour);
    // A display of more than 256 colours reports no colour count.
    const std::optional<int> colours = display.colours <= 256 ? std::optional<int>(int(display.colours)) : std::nullopt;
    RasterCanvas canvas(image, colours, fonts);
    painter.Paint(canvas, screen);
    return image;
}

ScreenPictures::ScreenPictures(Machine& machine, DialogList dialogs)
    : machine_(machine), files_(machine), painter_(dialogs, files_) {}

ScreenPictures::~ScreenPictures() = default;

bool ScreenPictures::Ready(ScreenMoment moment) {
    const int limit = machine_.config().display.pictures;
    if (failed_ || limit == 0) return false;
    // The last picture of a run is always written, so that the run's end can be seen.
    if (written_ >= limit && moment != ScreenMoment::end) {
        if (!limit_noted_)
            (void)machine_.journal().Write("SCREEN", {Word("moment", MomentName(moment)), Word("result", "limit"),
                                                      Word("pictures", std::to_string(limit))});
        limit_noted_ = true;
        return false;
    }
    if (!fonts_) {
        auto opened = HostFonts::Open();
        if (!opened) {
            (void)machine_.journal().Write("SCREEN", {Word("moment", MomentName(moment)), Word("result", "failed"),
                                                      Field("reason", opened.error().Describe())});
            failed_ = true;
            return false;
        }
        fonts_ = std::move(opened.value());
    }
    return true;
}

void ScreenPictures::Shown(const ScreenState& screen, ScreenMoment moment) {
    if (!Ready(moment)) return;
    const fs::path folder = fs::path(machine_.folder()) / kScreensFolder;
    std::error_code error;
    fs::create_directories(folder, error);
    if (next_number_ == 0) next_number_ = HighestNumber(folder) + 1;
    char name[64];
    std::snprintf(name, sizeof name, "%04d-%s.png", next_number_++, MomentName(moment));
    const std::string relative = std::string(kScreensFolder) + "/" + name;

    const RasterImage image = PaintScreenImage(machine_.config().display, painter_, *fonts_, screen);
    std::vector<std::string> fields{Word("moment", MomentName(moment))};
    if (moment == ScreenMoment::page && screen.page) fields.push_back(Word("id", std::to_string(screen.page->dialog_id)));
    if (auto written = WritePng(image, (folder / name).string()); !written) {
        fields.push_back(Word("result", "failed"));
        fields.push_back(Field("reason", written.error().Describe()));
    } else {
        fields.push_back(Field("file", relative));
        ++written_;
    }
    (void)machine_.journal().Write("SCREEN", fields);
}

}  // namespace rvx::sandbox
