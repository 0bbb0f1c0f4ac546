// The screenshot comparison of the GUI tests: what it lets pass (the same bands and bars, a
// rounding of the colours, a bar a few pixels off) and what it reports.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/painting/percent_bar_painter.h"
#include "platform/sandbox/raster_canvas.h"
#include "tests/support/screen_parity.h"

namespace rvx::parity {
namespace {

using platform::Colour;

// A screen of blue bands with the two bars' fills at the given left edges and widths.
Picture Screen(int upper_left, int upper_width, int lower_width, int blue_offset = 0) {
    Picture picture{200, 150, {}};
    picture.pixels.resize(200 * 150);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) picture.pixels[size_t(y * 200 + x)] = Colour{0, 0, uint8_t(255 - y + blue_offset)};
    auto fill = [&picture](int left, int top, int width, Colour colour) {
        for (int y = top; y < top + 8; ++y)
            for (int x = left; x < left + width; ++x) picture.pixels[size_t(y * 200 + x)] = colour;
    };
    fill(upper_left, 60, upper_width, platform::painting::kUpperBarColour);
    if (lower_width > 0) fill(40, 80, lower_width, platform::painting::kLowerBarColour);
    return picture;
}

TEST(ScreenParity, TheSameBandsAndBarsPassWithinTheirTolerances) {
    EXPECT_TRUE(CompareScreens(Screen(40, 100, 0), Screen(40, 100, 0)).empty());
    EXPECT_TRUE(CompareScreens(Screen(40, 100, 50), Screen(40 + kBarTolerance, 100, 50 - kBarTolerance, -kBandTolerance)).empty());
}

TEST(ScreenParity, OtherBandsOtherFillsAndOtherSizesAreReported) {
    const auto bands = CompareScreens(Screen(40, 100, 0), Screen(40, 100, 0, -kBandTolerance - 1));
    ASSERT_EQ(bands.size(), size_t(kBandSamples));
    EXPECT_EQ(bands[0], "the background at 192,2 is 0,0,253 on Windows, 0,0,250 on the host");

    EXPECT_EQ(CompareScreens(Screen(40, 100, 0), Screen(40, 100 + kBarTolerance + 1, 0)),
              (std::vector<std::string>{"the upper bar's fill is x 40..140, y 60..68 on Windows, x 40..145, y 60..68 on the host"}));
    EXPECT_EQ(CompareScreens(Screen(40, 100, 0), Screen(40, 100, 30)),
              (std::vector<std::string>{"the lower bar's fill is none on Windows, x 40..70, y 80..88 on the host"}));

    Picture small = Screen(40, 100, 0);
    small.height = 100;
    small.pixels.resize(200 * 100);
    EXPECT_EQ(CompareScreens(small, Screen(40, 100, 0)),
              (std::vector<std::string>{"the screens differ in size: Windows 200x100, host 200x150"}));
}

TEST(ScreenParity, PicturesAreReadFromPngFiles) {
    sandbox::RasterImage image(3, 2, Colour{1, 2, 3});
    image.At(2, 1) = Colour{200, 100, 50};
    const auto path = std::filesystem::temp_directory_path() / ("rvx-screen-parity-" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(sandbox::WritePng(image, path.string()));
    auto picture = ReadPngPicture(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(picture) << picture.error().detail;
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->At(0, 0), (Colour{1, 2, 3}));
    EXPECT_EQ(picture->At(2, 1), (Colour{200, 100, 50}));
    auto missing = ReadPngPicture("/nonexistent/screen.png");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().detail.find("/nonexistent/screen.png"), std::string::npos);
}

}  // namespace
}  // namespace rvx::parity
