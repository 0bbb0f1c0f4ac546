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

std::string BuildBitmap(const BitmapSpec& spec) {
    const size_t header = spec.core_header ? 12 : 40;
    const size_t entry = spec.core_header ? 3 : 4;
    const size_t table_at = 14 + header;
    const size_t pixels_at = table_at + spec.colour_table.size() * entry;
    const size_t stride = (size_t(spec.width) * size_t(spec.bits) + 31) / 32 * 4;
    std::string out = "BM";
    Put32(out, uint32_t(pixels_at + stride * size_t(spec.height)));
    Put32(out, 0);
    Put32(out, uint32_t(pixels_at));
    Put32(out, uint32_t(header));
    if (spec.core_header) {
        Put16(out, uint32_t(spec.width));
        Put16(out, uint32_t(spec.height));
        Put16(out, 1);
        Put16(out, uint32_t(spec.bits));
    } else {
        Put32(out, uint32_t(spec.width));
        Put32(out, uint32_t(spec.top_down ? -spec.height : spec.height));
        Put16(out, 1);
        Put16(out, uint32_t(spec.bits));
        for (int i = 0; i < 4; ++i) Put32(out, 0);
        Put32(out, uint32_t(spec.colour_table.size()));
        Put32(out, 0);
    }
    for (const platform::Colour& colour : spec.colour_table) {
        out += char(colour.blue);
        out += char(colour.green);
        out += char(colour.red);
        if (!spec.core_header) out += '\0';
    }
    for (int row = 0; row < spec.height; ++row) {
        const int y = spec.top_down ? row : spec.height - 1 - row;
        std::string line(stride, '\0');
        for (int x = 0; x < spec.width; ++x) {
            const uint32_t value = spec.values[size_t(y) * size_t(spec.width) + size_t(x)];
            if (spec.bits <= 8) {
                const size_t bit = size_t(x) * size_t(spec.bits);
                line[bit / 8] = char(uint8_t(line[bit / 8]) | uint8_t(value << (8 - spec.bits - int(bit % 8))));
            } else {
                const size_t at = size_t(x) * size_t(spec.bits / 8);
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
    BitmapSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bits = 8;
    spec.colour_table = {colour};
    spec.values.assign(size_t(width) * size_t(height), 0);
    return BuildBitmap(spec);
}

}  // namespace rvx::test_support
