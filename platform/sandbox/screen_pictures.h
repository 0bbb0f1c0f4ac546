// Pictures of the simulated machine's screen: at the moments the user interface names (the
// background window shown, each page, the progress page's changes of text, its closing, the
// end), the screen is painted on the host's canvas and written as a PNG file into the machine
// folder's screens/, and a SCREEN line of the journal names the file. The machine's [display]
// says how large the screen is, how many colours it shows and how many pictures a run may
// write, so that a long installation cannot fill the disk with them.
#pragma once

#include <memory>
#include <string>

#include "platform/sandbox/machine.h"
#include "platform/sandbox/raster_canvas.h"
#include "platform/sandbox/sandbox_files.h"
#include "platform/sandbox/screen_painter.h"

namespace rvx::sandbox {

inline constexpr const char* kScreensFolder = "screens";

// The image of a screen as the display of config shows it.
RasterImage PaintScreenImage(const DisplayConfig& display, ScreenPainter& painter, HostFonts& fonts, const ScreenState& screen);

class ScreenPictures : public ScreenObserver {
public:
    // The machine and the dialogs must outlive the pictures.
    ScreenPictures(Machine& machine, DialogList dialogs);
    ~ScreenPictures() override;

    void Shown(const ScreenState& screen, ScreenMoment moment) override;
    // The program's resources, whose language library the progress page is drawn in.
    void TranslateWith(platform::Resources& resources) { painter_.TranslateWith(resources); }
    int written() const { return written_; }

private:
    bool Ready(ScreenMoment moment);

    Machine& machine_;
    SandboxFiles files_;
    ScreenPainter painter_;
    std::unique_ptr<HostFonts> fonts_;
    bool failed_ = false;
    bool limit_noted_ = false;
    int written_ = 0;
    int next_number_ = 0;  // 0: not looked up yet
};

}  // namespace rvx::sandbox
