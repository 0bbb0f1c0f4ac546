// Building bitmap files for the tests.
#include "tests/painting/bitmap_builder.h"

namespace rvx::test_support {
namespace {

void Put16(std::string& out, uint32_t value) {
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string BuildBitmap(const BitmapShape& shape) {
    const size_t header = shape.core_header ? 12 : 40;
    const size_t entry = shape.core_header ? 3 : 4;
    const size_t table_at = 14 + header;
    const size_t pixels_at = table_at + shape.colour_table.size() * entry;
    const size_t stride = (size_t(shape.width) * size_t(shape.bits) + 31) / 32 * 4;
    std::string out = "BM";
    Put32(out, uint32_t(pixels_at + stride * size_t(shape.height)));
    Put32(out, 0);
    Put32(out, uint32_t(pixels_at));
    Put32(out, uint32_t(header));
    if (shape.core_header) {
        Put16(out, uint32_t(shape.width));
        Put16(out, uint32_t(shape.height));
        Put16(out, 1);
        Put16(out, uint32_t(shape.bits));
    } else {
        Put32(out, uint32_t(shape.width));
        Put32(out, uint32_t(shape.top_down ? -shape.height : shape.height));
        Put16(out, 1);
        Put16(out, uint32_t(shape.bits));
        for (int i = 0; i < 4; ++i) Put32(out, 0);
        Put32(out, uint32_t(shape.colour_table.size()));
        Put32(out, 0);
    }
    for (const platform::Colour& colour : shape.colour_table) {
        out += char(colour.blue);
        out += char(colour.green);
        out += char(colour.red);
        if (!shape.core_header) out += '\0';
    }
    for (int row = 0; row < shape.height; ++row) {
        const int y = shape.top_down ? row : shape.height - 1 - row;
        std::string line(stride, '\0');
        for (int x = 0; x < shape.width; ++x) {
            const uint32_t value = shape.values[size_t(y) * size_t(shape.width) + size_t(x)];
            if (shape.bits <= 8) {
                const size_t bit = size_t(x) * size_t(shape.bits);
                line[bit / 8] = char(uint8_t(line[bit / 8]) | uint8_t(value << (8 - shape.bits - int(bit % 8))));
            } else {
                const size_t at = size_t(x) * size_t(shape.bits / 8);
                line[at] = char(value & 0xFF);
                line[at + 1] = char((value >> 8) & 0xFF);
                line[at + 2] = char((value >> 16) & 0xFF);
            }
        }
        out += line;
    }
    return out;
}

std::string PlainBitmap(int width, int height, platform::Colour colour) {
    BitmapShape shape;
    shape.width = width;
    shape.height = height;
    shape.bits = 8;
    shape.colour_table = {colour};
    shape.values.assign(size_t(width) * size_t(height), 0);
    return BuildBitmap(shape);
}

}  // namespace rvx::test_support
