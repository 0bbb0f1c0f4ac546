// The background and bar painters, drawn on the host's canvas and checked pixel by pixel.
#include <gtest/gtest.h>

#include "platform/painting/background_painter.h"
#include "platform/painting/background_picture.h"
#include "platform/painting/bitmap_file.h"
#include "platform/painting/percent_bar_painter.h"
#include "platform/sandbox/memory_files.h"
#include "platform/sandbox/raster_canvas.h"
#include "tests/painting/bitmap_builder.h"

namespace rvx::platform::painting {
namespace {

using sandbox::RasterCanvas;
using sandbox::RasterImage;

constexpr Colour kGrey{192, 192, 192}, kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{200, 40, 0};
constexpr std::optional<int> kTrueColour = std::nullopt;

class Painting : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        auto opened = sandbox::HostFonts::Open();
        ASSERT_TRUE(opened.ok()) << opened.error().detail;
        fonts_ = std::move(*opened).release();
    }
    static void TearDownTestSuite() { delete fonts_; }

    static RasterImage Paint(int width, int height, const BackgroundScene& scene, std::optional<int> colours = kTrueColour) {
        RasterImage image(width, height, kGrey);
        RasterCanvas canvas(image, colours, *fonts_);
        PaintBackground(canvas, scene);
        return image;
    }

    // The smallest rectangle holding every pixel of the colour, empty when there is none.
    static Rect Extent(const RasterImage& image, Colour colour, Rect within) {
        Rect found{within.right, within.bottom, within.left, within.top};
        for (int y = within.top; y < within.bottom; ++y)
            for (int x = within.left; x < within.right; ++x)
                if (image.At(x, y) == colour)
                    found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1), std::max(found.bottom, y + 1)};
        return found;
    }

    static sandbox::HostFonts* fonts_;
};
sandbox::HostFonts* Painting::fonts_ = nullptr;

TEST_F(Painting, GradientBandsFadeTowardsBlackAndNeedTenPixels) {
    const RasterImage low = Paint(50, 9, BackgroundScene{"", {}, {}, kRed});
    EXPECT_EQ(Extent(low, kGrey, {0, 0, 50, 9}), (Rect{0, 0, 50, 9}));
    EXPECT_TRUE(std::all_of(low.pixels.begin(), low.pixels.end(), [](Colour c) { return c == kGrey; }));

    // 35 pixels: three bands at 0, 11 and 23, each colour c less band * c / 3.
    const RasterImage bands = Paint(20, 35, BackgroundScene{"", {}, {}, kRed});
    EXPECT_EQ(bands.At(19, 0), kRed);
    EXPECT_EQ(bands.At(0, 10), kRed);
    EXPECT_EQ(bands.At(0, 11), (Colour{134, 27, 0}));
    EXPECT_EQ(bands.At(0, 22), (Colour{134, 27, 0}));
    EXPECT_EQ(bands.At(0, 23), (Colour{67, 14, 0}));
    EXPECT_EQ(bands.At(5, 34), (Colour{67, 14, 0}));
}

TEST_F(Painting, PaletteDisplaysGetBlueWhateverTheColoursSay) {
    EXPECT_EQ(Paint(20, 20, BackgroundScene{"", {}, {}, kRed}, 256).At(0, 0), (Colour{0, 0, 255}));
    EXPECT_EQ(Paint(20, 20, BackgroundScene{"", {}, {}, kRed}, 16).At(0, 0), (Colour{0, 0, 255}));
    EXPECT_EQ(Paint(20, 20, BackgroundScene{"", {}, {}, kRed}, kTrueColour).At(0, 0), kRed);
}

TEST_F(Painting, TitleIsWhiteOverABlackShadowTwoPixelsDownAndRight) {
    BackgroundScene scene{"Norvane", {}, {}, kRed};
    scene.picture = Bitmap{1, 1, {kGrey}, {}};  // a plain grey picture, so only the title differs
    for (int width : {640, 1024}) {
        const RasterImage image = Paint(width, 400, scene);
        const Rect white = Extent(image, kWhite, {0, 0, width, 400});
        const Rect black = Extent(image, kBlack, {0, 0, width, 400});
        ASSERT_FALSE(white.empty());
        EXPECT_EQ(black.right, white.right + kTitleShadowOffset);
        EXPECT_EQ(black.bottom, white.bottom + kTitleShadowOffset);
        EXPECT_EQ(white.left, black.left - kTitleShadowOffset);
        EXPECT_GE(white.left, kTitleArea.left - kTitleShadowOffset);
        // The larger title above 640 pixels: capitals of about two thirds of the cell.
        EXPECT_NEAR(white.height(), width > 640 ? 28 : 20, 3) << width;
    }
}

TEST_F(Painting, LongTitlesWrapInsideTheirRectangle) {
    BackgroundScene scene{"Installation of the whole Norvane collection for schools and homes", {}, {}, kRed};
    scene.picture = Bitmap{1, 1, {kGrey}, {}};
    const RasterImage image = Paint(1024, 400, scene);
    const Rect white = Extent(image, kWhite, {0, 0, 1024, 400});
    EXPECT_LE(white.right, kTitleArea.right - kTitleShadowOffset);
    EXPECT_GT(white.height(), kLargeTitleHeight + 20);  // at least two lines
}

TEST_F(Painting, SmallPictureSitsTwentyPixelsInsideTheBottomRightCorner) {
    BackgroundScene scene{"", {}, {}, kRed};
    scene.small_picture = Bitmap{30, 10, std::vector<Colour>(300, kWhite), {}};
    const RasterImage image = Paint(200, 100, scene);
    EXPECT_EQ(Extent(image, kWhite, {0, 0, 200, 100}), (Rect{150, 70, 180, 80}));
}

TEST_F(Painting, BackgroundPictureIsStretchedOverTheWindow) {
    BackgroundScene scene{"", {}, {}, kRed};
    scene.picture = Bitmap{2, 1, {kBlack, kWhite}, {}};
    const RasterImage image = Paint(100, 50, scene);
    EXPECT_EQ(Extent(image, kBlack, {0, 0, 100, 50}), (Rect{0, 0, 50, 50}));
    EXPECT_EQ(Extent(image, kWhite, {0, 0, 100, 50}), (Rect{50, 0, 100, 50}));
}

TEST_F(Painting, BarsClampTheirPercentageAndWriteItWhenAboveZero) {
    const Rect bounds{10, 5, 210, 25};
    const Rect inside = bounds.Shrunk(1);
    const auto paint = [&](int percent) {
        RasterImage image(220, 30, kGrey);
        RasterCanvas canvas(image, kTrueColour, *fonts_);
        PaintPercentBar(canvas, bounds, percent, kLowerBarColour);
        return image;
    };
    const RasterImage full = paint(150);
    EXPECT_EQ(Extent(full, kLowerBarColour, bounds), inside);
    const Rect text = Extent(full, kBlack, inside.Shrunk(1));
    ASSERT_FALSE(text.empty());
    EXPECT_NEAR((text.left + text.right) / 2, (inside.left + inside.right) / 2, 2);
    EXPECT_NEAR((text.top + text.bottom) / 2, (inside.top + inside.bottom) / 2, 2);
    EXPECT_EQ(full.At(bounds.left, bounds.top), sandbox::kButtonShadow);
    EXPECT_EQ(full.At(bounds.right - 1, bounds.bottom - 1), sandbox::kButtonHighlight);

    const RasterImage none = paint(-5);
    EXPECT_TRUE(Extent(none, kLowerBarColour, bounds).empty());
    EXPECT_EQ(Extent(none, kGrey, inside.Shrunk(1)), inside.Shrunk(1));  // neither fill nor text
    EXPECT_EQ(none.At(inside.left, inside.top + 3), kBlack);            // the outline

    // A quarter: the fill ends at left + width * 25 / 100 of the shrunk rectangle.
    EXPECT_EQ(Extent(paint(25), kLowerBarColour, bounds).right, inside.left + inside.width() * 25 / 100);
}

TEST(BackgroundPicture, TheLargestPictureThatFitsIsChosen) {
    sandbox::MemoryFiles files;
    files.Put("C:\\CD\\SMALL.BMP", test_support::PlainBitmap(800, 600, kRed));
    files.Put("C:\\CD\\LARGE.BMP", test_support::PlainBitmap(1024, 768, kRed));
    files.Put("C:\\CD\\WIDE.BMP", test_support::PlainBitmap(1000, 500, kRed));
    files.Put("C:\\CD\\BROKEN.BMP", "BM");
    const std::vector<std::string> both{"SMALL.BMP", "LARGE.BMP"};
    const std::vector<std::string> reversed{"LARGE.BMP", "SMALL.BMP"};
    EXPECT_EQ(ChooseBackgroundPicture(both, "C:\\CD\\", {1024, 768}, files), "LARGE.BMP");
    EXPECT_EQ(ChooseBackgroundPicture(reversed, "C:\\CD\\", {1024, 768}, files), "LARGE.BMP");
    EXPECT_EQ(ChooseBackgroundPicture(both, "C:\\CD\\", {800, 600}, files), "SMALL.BMP");
    EXPECT_EQ(ChooseBackgroundPicture(reversed, "C:\\CD\\", {800, 600}, files), "SMALL.BMP");
    // Not larger in both sides than the earlier fitting 800x600: the earlier one stays.
    EXPECT_EQ(ChooseBackgroundPicture({"SMALL.BMP", "WIDE.BMP"}, "C:\\CD\\", {1024, 768}, files), "SMALL.BMP");
    // Nothing fits, or nothing can be read: the first line.
    EXPECT_EQ(ChooseBackgroundPicture(reversed, "C:\\CD\\", {640, 480}, files), "LARGE.BMP");
    EXPECT_EQ(ChooseBackgroundPicture({"BROKEN.BMP", "MISSING.BMP"}, "C:\\CD\\", {1024, 768}, files), "BROKEN.BMP");
    EXPECT_EQ(ChooseBackgroundPicture({}, "C:\\CD\\", {1024, 768}, files), std::nullopt);
    EXPECT_FALSE(ReadPicture(files, "C:\\CD\\BROKEN.BMP").ok());
    EXPECT_EQ(ReadPicture(files, "C:\\CD\\SMALL.BMP")->height, 600);
}

}  // namespace
}  // namespace rvx::platform::painting
