// Reads the file version out of a Windows image's version resource (found by the portable
// resource reader, which checks every range on the way to it).
#include "installer/script/file_version.h"

#include <string>
#include <vector>

#include "platform/pe_resources.h"

namespace rvx::installer {

namespace {

// No program or library comes near this; a larger file is not read into memory at all.
constexpr uint64_t kMaxImageSize = uint64_t{256} << 20;

constexpr uint32_t kVersionName = 1;  // the system's version functions look for this name only

constexpr std::u16string_view kVersionKey = u"VS_VERSION_INFO";
constexpr uint64_t kBlockHeaderSize = 6;                                          // length, value length, type
constexpr uint64_t kFixedInfoOffset = (kBlockHeaderSize + 2 * 16 + 3) / 4 * 4;  // after the key and its terminator
constexpr uint64_t kFixedInfoSize = 52;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;

uint16_t U16(std::span<const uint8_t> bytes, uint64_t at) { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); }
uint32_t U32(std::span<const uint8_t> bytes, uint64_t at) { return uint32_t{U16(bytes, at)} | uint32_t{U16(bytes, at + 2)} << 16; }

// The fixed part at the head of the version information: a block header, the block's key in
// UTF-16 and, on the next 32-bit boundary, the fixed information with its signature.
std::optional<FileVersion> ReadFixedInfo(std::span<const uint8_t> resource) {
    if (resource.size() < kFixedInfoOffset + kFixedInfoSize) return std::nullopt;
    const uint16_t block_length = U16(resource, 0);
    const uint16_t value_length = U16(resource, 2);
    if (block_length > resource.size() || block_length < kFixedInfoOffset + kFixedInfoSize) return std::nullopt;
    if (value_length < kFixedInfoSize) return std::nullopt;
    for (size_t index = 0; index <= kVersionKey.size(); ++index) {
        const char16_t expected = index < kVersionKey.size() ? kVersionKey[index] : u'\0';
        if (U16(resource, kBlockHeaderSize + 2 * index) != expected) return std::nullopt;
    }
    const uint64_t fixed = kFixedInfoOffset;
    if (U32(resource, fixed) != kFixedInfoSignature) return std::nullopt;
    return FileVersion{U32(resource, fixed + 8), U32(resource, fixed + 12)};
}

}  // namespace

std::optional<FileVersion> ReadFileVersion(std::span<const uint8_t> image) {
    auto resources = platform::PeResources::Open(image);
    if (!resources) return std::nullopt;
    auto resource = resources->Find(platform::kResourceVersion, kVersionName);
    if (!resource) return std::nullopt;
    return ReadFixedInfo(*resource);
}

std::optional<FileVersion> ReadFileVersion(platform::FileSystem& files, std::string_view path) {
    auto file = files.Open(platform::OpenRequest{std::string(path), platform::Access::read, platform::share::read,
                                                 platform::Disposition::open_existing});
    if (!file) return std::nullopt;
    if (auto size = file.value()->Size(); size.ok() && size.value() > kMaxImageSize) return std::nullopt;

    // The size is checked while reading too: the file may grow after it was asked.
    std::vector<uint8_t> image;
    uint8_t buffer[16384];
    for (;;) {
        auto got = file.value()->Read(buffer, sizeof buffer);
        if (!got) return std::nullopt;
        if (got.value() == 0) break;
        if (image.size() + got.value() > kMaxImageSize) return std::nullopt;
        image.insert(image.end(), buffer, buffer + got.value());
    }
    return ReadFileVersion(image);
}

}  // namespace rvx::installer
