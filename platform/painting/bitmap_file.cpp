// Decoding of Windows bitmap files.
#include "platform/painting/bitmap_file.h"

#include <bit>
#include <string>

namespace rvx::platform::painting {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // the oldest header: 16-bit width and height
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kLargestHeaderSize = 124;
constexpr uint32_t kPlainPixels = 0;       // no compression
constexpr uint32_t kBitFields = 3;         // 16 or 32 bits split by three masks
constexpr uint32_t kAlphaBitFields = 6;

Error Damaged(const std::string& what) { return Fail(Status::invalid_argument, "bitmap file: " + what); }

uint32_t Read16(std::span<const uint8_t> bytes, size_t at) { return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8; }
uint32_t Read32(std::span<const uint8_t> bytes, size_t at) { return Read16(bytes, at) | Read16(bytes, at + 2) << 16; }

// One colour channel given by a bit mask, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
    }
    uint8_t Of(uint32_t pixel) const {
        if (max == 0) return 0;
        return uint8_t(uint64_t((pixel & mask) >> shift) * 255 / max);
    }
};

struct Header {
    uint32_t header_size = 0;
    int64_t width = 0;
    int64_t height = 0;  // negative: rows stored from the top
    uint32_t bits = 0;
    uint32_t compression = kPlainPixels;
    uint32_t colours_used = 0;
    uint32_t pixel_offset = 0;
    uint32_t masks[3] = {0, 0, 0};
    bool masks_in_header = false;
};

Result<Header> ReadHeader(std::span<const uint8_t> file) {
    if (file.size() < kFileHeaderSize + 4) return Damaged("too short for its headers");
    if (file[0] != 'B' || file[1] != 'M') return Damaged("does not begin with \"BM\"");
    Header header;
    header.pixel_offset = Read32(file, 10);
    header.header_size = Read32(file, kFileHeaderSize);
    if (header.header_size != kCoreHeaderSize && (header.header_size < kInfoHeaderSize || header.header_size > kLargestHeaderSize))
        return Damaged("unknown header size " + std::to_string(header.header_size));
    if (file.size() < kFileHeaderSize + header.header_size) return Damaged("too short for its headers");
    const size_t at = kFileHeaderSize;
    if (header.header_size == kCoreHeaderSize) {
        header.width = Read16(file, at + 4);
        header.height = Read16(file, at + 6);
        header.bits = Read16(file, at + 10);
    } else {
        header.width = int32_t(Read32(file, at + 4));
        header.height = int32_t(Read32(file, at + 8));
        header.bits = Read16(file, at + 14);
        header.compression = Read32(file, at + 16);
        header.colours_used = Read32(file, at + 32);
        if (header.header_size >= kInfoHeaderSize + 12) {
            for (int i = 0; i < 3; ++i) header.masks[i] = Read32(file, at + kInfoHeaderSize + size_t(i) * 4);
            header.masks_in_header = true;
        }
    }
    if (header.width <= 0 || header.height == 0) return Damaged("the picture has no pixels");
    const int64_t rows = header.height < 0 ? -header.height : header.height;
    if (header.width > kMaxBitmapSide || rows > kMaxBitmapSide || header.width * rows > kMaxBitmapPixels)
        return Damaged("the picture is larger than " + std::to_string(kMaxBitmapSide) + " pixels on a side or " +
                       std::to_string(kMaxBitmapPixels) + " in all");
    switch (header.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return Damaged(std::to_string(header.bits) + " bits per pixel are not a bitmap depth");
    }
    const bool masked = header.compression == kBitFields || header.compression == kAlphaBitFields;
    if (header.compression != kPlainPixels && !(masked && (header.bits == 16 || header.bits == 32)))
        return Damaged("compressed pictures (method " + std::to_string(header.compression) + ") are not read");
    return header;
}

}  // namespace

Result<Size> ReadBitmapSize(std::span<const uint8_t> file) {
    auto header = ReadHeader(file);
    if (!header) return header.error();
    return Size{int(header->width), int(header->height < 0 ? -header->height : header->height)};
}

Result<Bitmap> ReadBitmap(std::span<const uint8_t> file) {
    auto read = ReadHeader(file);
    if (!read) return read.error();
    Header& header = *read;
    const bool top_down = header.height < 0;
    Bitmap picture;
    picture.width = int(header.width);
    picture.height = int(top_down ? -header.height : header.height);

    // Bit-field masks follow a 40-byte header; the later headers hold them themselves.
    size_t position = kFileHeaderSize + header.header_size;
    const bool masked = header.compression == kBitFields || header.compression == kAlphaBitFields;
    if (masked && !header.masks_in_header) {
        const size_t mask_count = header.compression == kAlphaBitFields ? 4 : 3;
        if (file.size() < position + mask_count * 4) return Damaged("the colour masks are missing");
        for (size_t i = 0; i < 3; ++i) header.masks[i] = Read32(file, position + i * 4);
        position += mask_count * 4;
    }
    if (!masked) {
        if (header.bits == 16) header.masks[0] = 0x7C00, header.masks[1] = 0x03E0, header.masks[2] = 0x001F;
        if (header.bits == 32) header.masks[0] = 0xFF0000, header.masks[1] = 0x00FF00, header.masks[2] = 0x0000FF;
    }

    // The colour table: every index of a picture of 8 bits or fewer, or as many colours as the
    // header says are used (a deeper picture's table only suggests a palette).
    const bool core = header.header_size == kCoreHeaderSize;
    uint64_t entries = header.colours_used;
    if (header.bits <= 8 && (entries == 0 || core)) entries = uint64_t(1) << header.bits;
    if (header.bits <= 8 && entries > (uint64_t(1) << header.bits)) return Damaged("the colour table is longer than the depth allows");
    const size_t entry_size = core ? 3 : 4;
    if (entries > (file.size() - position) / entry_size) return Damaged("the colour table runs past the end of the file");
    for (uint64_t i = 0; i < entries; ++i, position += entry_size)
        picture.colour_table.push_back(Colour{file[position + 2], file[position + 1], file[position]});

    const size_t pixels_at = header.pixel_offset != 0 ? header.pixel_offset : position;
    const uint64_t stride = (uint64_t(picture.width) * header.bits + 31) / 32 * 4;
    if (pixels_at > file.size() || stride * uint64_t(picture.height) > file.size() - pixels_at)
        return Damaged("the pixels run past the end of the file");

    const Channel red(header.masks[0]), green(header.masks[1]), blue(header.masks[2]);
    picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
    for (int row = 0; row < picture.height; ++row) {
        const size_t line = pixels_at + size_t(stride) * size_t(row);
        const int y = top_down ? row : picture.height - 1 - row;
        Colour* out = &picture.pixels[size_t(y) * size_t(picture.width)];
        for (int x = 0; x < picture.width; ++x) {
            if (header.bits <= 8) {
                const size_t bit = size_t(x) * header.bits;
                const uint32_t index = (file[line + bit / 8] >> (8 - header.bits - bit % 8)) & ((1u << header.bits) - 1);
                // An index past the table draws black rather than reading beyond it.
                out[x] = index < picture.colour_table.size() ? picture.colour_table[index] : Colour{};
            } else if (header.bits == 24) {
                const size_t at = line + size_t(x) * 3;
                out[x] = Colour{file[at + 2], file[at + 1], file[at]};
            } else {
                const uint32_t value = header.bits == 16 ? Read16(file, line + size_t(x) * 2) : Read32(file, line + size_t(x) * 4);
                out[x] = Colour{red.Of(value), green.Of(value), blue.Of(value)};
            }
        }
    }
    return picture;
}

}  // namespace rvx::platform::painting
