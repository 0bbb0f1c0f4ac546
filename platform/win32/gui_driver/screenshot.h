// Screenshots for the GUI driver: the whole screen as a 24-bit Windows bitmap file, which the
// test harness turns into PNG, or in memory for the checks that read its colours.
#pragma once

#include <string>
#include <vector>

#include "platform/result.h"
#include "platform/win32/win32_api.h"

namespace rvx::gui_driver {

// The screen as copied: rows from the bottom up, as a bitmap file stores them, each pixel blue,
// green and red, each row padded to whole 32-bit words.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;

    // The colour at a point of the screen; black outside it.
    COLORREF At(int x, int y) const;
};

platform::Result<ScreenImage> CaptureScreen();
platform::Outcome WriteBitmapFile(const ScreenImage& image, const std::string& bmp_path);
platform::Outcome SaveScreenshot(const std::string& bmp_path);

}  // namespace rvx::gui_driver
