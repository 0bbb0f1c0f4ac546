// Windows bitmap files built in memory for the painting tests and the fuzz corpus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace rvx::test_support {

struct BitmapShape {
    int width = 1;
    int height = 1;
    int bits = 24;
    bool top_down = false;
    bool core_header = false;                  // the 12-byte header of the oldest files
    std::vector<platform::Colour> colour_table;
    // Top row first: colour-table indices for 8 bits and fewer, 0xRRGGBB otherwise.
    std::vector<uint32_t> values;
};

std::string BuildBitmap(const BitmapShape& shape);
// A picture of one colour, for tests that only need its size.
std::string PlainBitmap(int width, int height, platform::Colour colour);

}  // namespace rvx::test_support
