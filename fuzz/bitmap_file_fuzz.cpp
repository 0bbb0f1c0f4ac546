// Fuzz target: the bitmap file reader on arbitrary bytes. What it accepts must agree with the
// size read from the headers alone, hold exactly one colour per pixel, and not change when
// bytes are added after the file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/painting/bitmap_file.h"

using namespace rvx::platform::painting;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    const auto size_only = ReadBitmapSize(file);
    const auto picture = ReadBitmap(file);
    if (!picture) return 0;
    if (!size_only || size_only->width != picture->width || size_only->height != picture->height) __builtin_trap();
    if (picture->pixels.size() != size_t(picture->width) * size_t(picture->height)) __builtin_trap();
    if (picture->width > kMaxBitmapSide || picture->height > kMaxBitmapSide) __builtin_trap();

    std::vector<uint8_t> longer(file.begin(), file.end());
    longer.resize(size + 32, 0x5A);
    const auto again = ReadBitmap(longer);
    if (!again || again->pixels != picture->pixels || again->colour_table != picture->colour_table) __builtin_trap();
    return 0;
}
