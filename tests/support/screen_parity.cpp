// Comparing a screenshot with the host's picture of the same moment.
#include "tests/support/screen_parity.h"

#include <png.h>

#include <cstdlib>

#include "platform/painting/percent_bar_painter.h"

namespace rvx::parity {

namespace {

struct Extent {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom outside; all 0 for none
    bool empty() const { return right <= left; }
};

Extent ExtentOf(const Picture& picture, platform::Colour colour) {
    Extent found{picture.width, picture.height, 0, 0};
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.At(x, y) == colour) {
                found.left = std::min(found.left, x);
                found.top = std::min(found.top, y);
                found.right = std::max(found.right, x + 1);
                found.bottom = std::max(found.bottom, y + 1);
            }
    return found.right == 0 ? Extent{} : found;
}

std::string Describe(platform::Colour colour) {
    return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," + std::to_string(colour.blue);
}

std::string Describe(const Extent& extent) {
    if (extent.empty()) return "none";
    return "x " + std::to_string(extent.left) + ".." + std::to_string(extent.right) + ", y " + std::to_string(extent.top) + ".." +
           std::to_string(extent.bottom);
}

bool Near(int a, int b, int tolerance) { return std::abs(a - b) <= tolerance; }

}  // namespace

platform::Result<Picture> ReadPngPicture(const std::string& path) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return platform::Fail(platform::Status::io_error, path + ": " + image.message);
    image.format = PNG_FORMAT_RGB;
    Picture picture;
    picture.width = int(image.width);
    picture.height = int(image.height);
    picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr))
        return platform::Fail(platform::Status::io_error, path + ": " + image.message);
    return picture;
}

std::vector<std::string> CompareScreens(const Picture& windows, const Picture& host) {
    std::vector<std::string> differences;
    if (windows.width != host.width || windows.height != host.height || windows.width < 16 || windows.height < 16) {
        differences.push_back("the screens differ in size: Windows " + std::to_string(windows.width) + "x" +
                              std::to_string(windows.height) + ", host " + std::to_string(host.width) + "x" +
                              std::to_string(host.height));
        return differences;
    }
    const int x = windows.width - 8;
    for (int sample = 0; sample < kBandSamples; ++sample) {
        const int y = sample * (windows.height - 4) / (kBandSamples - 1) + 2;
        const platform::Colour a = windows.At(x, y), b = host.At(x, y);
        if (!Near(a.red, b.red, kBandTolerance) || !Near(a.green, b.green, kBandTolerance) || !Near(a.blue, b.blue, kBandTolerance))
            differences.push_back("the background at " + std::to_string(x) + "," + std::to_string(y) + " is " + Describe(a) +
                                  " on Windows, " + Describe(b) + " on the host");
    }
    const struct {
        const char* name;
        platform::Colour colour;
    } bars[] = {{"upper bar", platform::painting::kUpperBarColour}, {"lower bar", platform::painting::kLowerBarColour}};
    for (const auto& bar : bars) {
        const Extent a = ExtentOf(windows, bar.colour), b = ExtentOf(host, bar.colour);
        const bool same = a.empty() == b.empty() &&
                          (a.empty() || (Near(a.left, b.left, kBarTolerance) && Near(a.right, b.right, kBarTolerance) &&
                                         Near(a.top, b.top, kBarTolerance) && Near(a.bottom, b.bottom, kBarTolerance)));
        if (!same)
            differences.push_back(std::string("the ") + bar.name + "'s fill is " + Describe(a) + " on Windows, " + Describe(b) +
                                  " on the host");
    }
    return differences;
}

}  // namespace rvx::parity
