// The bitmap reader: every depth, both row orders, the old header, and damaged files.
#include <gtest/gtest.h>

#include "platform/painting/bitmap_file.h"
#include "tests/painting/bitmap_builder.h"

namespace rvx::platform::painting {
namespace {

using test_support::BitmapShape;
using test_support::BuildBitmap;

constexpr Colour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

Result<Bitmap> Read(const std::string& file) {
    return ReadBitmap({reinterpret_cast<const uint8_t*>(file.data()), file.size()});
}

// A 3x2 picture: red, green, blue on top, white, blue, red below.
BitmapShape Sample(int bits) {
    BitmapShape shape;
    shape.width = 3;
    shape.height = 2;
    shape.bits = bits;
    if (bits <= 8) {
        shape.colour_table = {kRed, kGreen, kBlue, kWhite};
        shape.values = {0, 1, 2, 3, 2, 0};
    } else {
        shape.values = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x0000FF, 0xFF0000};
    }
    return shape;
}

void ExpectSample(const Result<Bitmap>& picture, const std::string& what) {
    ASSERT_TRUE(picture.ok()) << what << ": " << picture.error().detail;
    ASSERT_EQ(picture->width, 3) << what;
    ASSERT_EQ(picture->height, 2) << what;
    const std::vector<Colour> expected{kRed, kGreen, kBlue, kWhite, kBlue, kRed};
    EXPECT_EQ(picture->pixels, expected) << what;
}

TEST(BitmapFile, EveryDepthInBothRowOrdersAndTheOldHeader) {
    for (int bits : {1, 4, 8, 24, 32}) {
        BitmapShape shape = Sample(bits);
        if (bits == 1) {  // two colours only
            shape.colour_table = {kRed, kWhite};
            shape.values = {0, 1, 1, 0, 0, 1};
            for (bool top_down : {false, true}) {
                shape.top_down = top_down;
                auto picture = Read(BuildBitmap(shape));
                ASSERT_TRUE(picture.ok());
                EXPECT_EQ(picture->pixels, (std::vector<Colour>{kRed, kWhite, kWhite, kRed, kRed, kWhite}));
            }
            continue;
        }
        for (bool top_down : {false, true}) {
            shape.top_down = top_down;
            ExpectSample(Read(BuildBitmap(shape)), std::to_string(bits) + (top_down ? " bits top-down" : " bits"));
        }
        if (bits == 8 || bits == 24) {
            shape.top_down = false;
            shape.core_header = true;
            if (bits == 8) shape.colour_table.resize(256);  // the old header always has a whole table
            ExpectSample(Read(BuildBitmap(shape)), std::to_string(bits) + " bits, old header");
        }
    }
}

TEST(BitmapFile, ColourTablesAreKeptOnlyWhenTheFileHasOne) {
    EXPECT_EQ(Read(BuildBitmap(Sample(8)))->colour_table.size(), 4u);
    EXPECT_TRUE(Read(BuildBitmap(Sample(24)))->colour_table.empty());
    BitmapShape deep = Sample(24);
    deep.colour_table = {kBlue, kGreen};  // a suggested palette for a display of few colours
    ExpectSample(Read(BuildBitmap(deep)), "24 bits with a table");
    EXPECT_EQ(Read(BuildBitmap(deep))->colour_table, (std::vector<Colour>{kBlue, kGreen}));
    // An index past a short table draws black instead of reading past it.
    BitmapShape short_table = Sample(8);
    short_table.colour_table = {kRed};
    EXPECT_EQ(Read(BuildBitmap(short_table))->At(1, 0), Colour{});
}

TEST(BitmapFile, SizeComesFromTheHeadersAlone) {
    const std::string file = test_support::PlainBitmap(800, 600, kBlue);
    auto size = ReadBitmapSize({reinterpret_cast<const uint8_t*>(file.data()), 64});
    ASSERT_TRUE(size.ok());
    EXPECT_EQ(*size, (Size{800, 600}));
}

TEST(BitmapFile, DamagedFilesAreRefusedWithAReason) {
    const std::string good = BuildBitmap(Sample(24));
    std::string not_bitmap = good;
    not_bitmap[0] = 'X';
    std::string wrong_depth = good;
    wrong_depth[28] = 7;
    std::string compressed = good;
    compressed[30] = 1;
    std::string huge = good;
    huge[18] = char(0xFF), huge[19] = char(0xFF), huge[20] = char(0xFF);
    std::string empty_width = good;
    empty_width[18] = 0;
    BitmapShape long_table = Sample(8);
    long_table.colour_table.resize(300);
    for (const auto& [file, reason] : std::vector<std::pair<std::string, std::string>>{
             {good.substr(0, good.size() - 1), "past the end"},
             {good.substr(0, 20), "too short"},
             {not_bitmap, "\"BM\""},
             {wrong_depth, "bits per pixel"},
             {compressed, "compressed"},
             {huge, "larger than"},
             {empty_width, "no pixels"},
             {BuildBitmap(long_table), "longer than the depth"}}) {
        auto picture = Read(file);
        ASSERT_FALSE(picture.ok()) << reason;
        EXPECT_NE(picture.error().detail.find(reason), std::string::npos) << picture.error().detail;
    }
}

}  // namespace
}  // namespace rvx::platform::painting
