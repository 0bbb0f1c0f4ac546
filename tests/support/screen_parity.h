// The GUI tests' comparison of a screenshot of the Windows edition with the host edition's
// picture of the same moment (tests/wine/screen_compare). Fonts are rasterised differently, so
// the pictures are not compared pixel by pixel: the background's gradient bands are sampled
// down the right edge, where no window lies, and each percentage bar's fill (the pixels of its
// colour) is compared by its place and width.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/result.h"

namespace rvx::parity {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<platform::Colour> pixels;  // row by row from the top
    platform::Colour At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

platform::Result<Picture> ReadPngPicture(const std::string& path);

// The most a component of a sampled band colour may differ (a display may round colours).
inline constexpr int kBandTolerance = 2;
// The most an edge of a bar's fill may lie apart, in pixels: the dialogs' layout follows the
// dialog font's base units, which the two editions' fonts may round differently.
inline constexpr int kBarTolerance = 4;
inline constexpr int kBandSamples = 8;

// Every difference found, as report lines; empty when the pictures agree.
std::vector<std::string> CompareScreens(const Picture& windows, const Picture& host);

}  // namespace rvx::parity
