// The reader of Windows bitmap files (".bmp"): 1, 4, 8, 16, 24 and 32 bits per pixel, with or
// without a colour table, stored bottom-up or top-down, uncompressed or with bit-field masks.
// Pictures come from the installation medium, so every size and offset is checked against the
// file before it is used.
#pragma once

#include <cstdint>
#include <span>

#include "platform/canvas.h"
#include "platform/result.h"

namespace rvx::platform::painting {

// The largest picture accepted, in pixels on each side and in all.
inline constexpr int kMaxBitmapSide = 16384;
inline constexpr int64_t kMaxBitmapPixels = int64_t(16) * 1024 * 1024;

// The width and height the file's headers give; reads no pixel data, so the first few hundred
// bytes of a file are enough.
Result<Size> ReadBitmapSize(std::span<const uint8_t> file);

Result<Bitmap> ReadBitmap(std::span<const uint8_t> file);

}  // namespace rvx::platform::painting
