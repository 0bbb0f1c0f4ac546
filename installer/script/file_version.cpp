// Reads the file version out of a Windows image. Every offset and size comes from the file
// itself, so each range is checked against the bytes that are present before it is read.
// Offsets are kept in 64 bits, where sums of the file's 32-bit fields cannot overflow.
#include "installer/script/file_version.h"

#include <algorithm>
#include <string>
#include <vector>

namespace rvx::installer {

namespace {

// No program or library comes near this; a larger file is not read into memory at all.
constexpr uint64_t kMaxImageSize = uint64_t{256} << 20;

constexpr uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10b;
constexpr uint16_t kPe32PlusMagic = 0x20b;
constexpr uint32_t kResourceDirectory = 2;  // index in the optional header's data directories
constexpr uint64_t kSectionHeaderSize = 40;

constexpr uint32_t kVersionType = 16;  // the resource type of version information
constexpr uint32_t kVersionName = 1;   // the system's version functions look for this name only
constexpr uint32_t kSubdirectoryBit = 0x80000000;
constexpr uint64_t kDirectoryHeaderSize = 16;
constexpr uint64_t kDirectoryEntrySize = 8;
constexpr uint64_t kDataEntrySize = 16;

constexpr std::u16string_view kVersionKey = u"VS_VERSION_INFO";
constexpr uint64_t kBlockHeaderSize = 6;                                          // length, value length, type
constexpr uint64_t kFixedInfoOffset = (kBlockHeaderSize + 2 * 16 + 3) / 4 * 4;  // after the key and its terminator
constexpr uint64_t kFixedInfoSize = 52;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;

// The image's bytes, read little-endian at any offset. The parser checks each range before
// reading it; a read outside the bytes still yields zero rather than touching memory.
class Bytes {
public:
    explicit Bytes(std::span<const uint8_t> data) : data_(data) {}

    uint64_t size() const { return data_.size(); }
    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }
    uint16_t U16(uint64_t offset) const {
        if (!Has(offset, 2)) return 0;
        return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
    }
    uint32_t U32(uint64_t offset) const {
        if (!Has(offset, 4)) return 0;
        return uint32_t{data_[offset]} | uint32_t{data_[offset + 1]} << 8 | uint32_t{data_[offset + 2]} << 16 |
               uint32_t{data_[offset + 3]} << 24;
    }

private:
    std::span<const uint8_t> data_;
};

// A run of the file: where it starts and how many of its bytes are actually there.
struct Region {
    uint64_t offset = 0;
    uint64_t length = 0;

    bool Has(uint64_t at, uint64_t count) const { return at <= length && count <= length - at; }
};

// What the headers say about where the sections and the resources are.
struct Layout {
    uint64_t section_table = 0;
    uint32_t section_count = 0;
    uint32_t resource_rva = 0;
};

std::optional<Layout> ReadLayout(const Bytes& bytes) {
    if (!bytes.Has(0, 64) || bytes.U16(0) != kDosMagic) return std::nullopt;
    const uint64_t pe = bytes.U32(0x3C);
    const uint64_t coff = pe + 4;
    const uint64_t optional = coff + 20;
    if (!bytes.Has(pe, 4 + 20) || bytes.U32(pe) != kPeSignature) return std::nullopt;
    const uint32_t section_count = bytes.U16(coff + 2);
    const uint64_t optional_size = bytes.U16(coff + 16);
    if (optional_size < 2 || !bytes.Has(optional, optional_size)) return std::nullopt;

    // The two optional header formats differ in width before the data directories.
    uint64_t directory_count_field = 0;
    uint64_t directories = 0;
    switch (bytes.U16(optional)) {
        case kPe32Magic: directory_count_field = 92; directories = 96; break;
        case kPe32PlusMagic: directory_count_field = 108; directories = 112; break;
        default: return std::nullopt;
    }
    const uint64_t resource_entry = directories + 8 * kResourceDirectory;
    if (resource_entry + 8 > optional_size) return std::nullopt;
    if (bytes.U32(optional + directory_count_field) <= kResourceDirectory) return std::nullopt;

    Layout layout;
    layout.resource_rva = bytes.U32(optional + resource_entry);
    layout.section_table = optional + optional_size;
    layout.section_count = section_count;
    if (layout.resource_rva == 0) return std::nullopt;
    if (!bytes.Has(layout.section_table, kSectionHeaderSize * section_count)) return std::nullopt;
    return layout;
}

// The file bytes behind a relative virtual address: inside the first section whose raw data
// covers it, as the system's own lookup does, up to the end of that raw data.
std::optional<Region> MapAddress(const Bytes& bytes, const Layout& layout, uint32_t rva) {
    for (uint32_t index = 0; index < layout.section_count; ++index) {
        const uint64_t header = layout.section_table + kSectionHeaderSize * index;
        const uint32_t virtual_address = bytes.U32(header + 12);
        const uint32_t raw_size = bytes.U32(header + 16);
        const uint32_t raw_offset = bytes.U32(header + 20);
        if (rva < virtual_address || rva - virtual_address >= raw_size) continue;
        const uint64_t into = rva - virtual_address;
        Region region;
        region.offset = uint64_t{raw_offset} + into;
        if (region.offset < bytes.size()) region.length = std::min<uint64_t>(raw_size - into, bytes.size() - region.offset);
        return region;
    }
    return std::nullopt;
}

// The resource tree, whose internal offsets count from the start of its root directory.
class ResourceTree {
public:
    ResourceTree(const Bytes& bytes, Region tree) : bytes_(bytes), tree_(tree) {}

    // The target of the entry with the given numeric name in the directory at `directory`.
    std::optional<uint32_t> FindById(uint64_t directory, uint32_t id) const {
        auto count = EntryCount(directory);
        if (!count) return std::nullopt;
        for (uint32_t index = 0; index < *count; ++index) {
            // Named entries have the top bit set, so they never equal a number.
            if (Read(EntryAt(directory, index)) == id) return Read(EntryAt(directory, index) + 4);
        }
        return std::nullopt;
    }

    std::optional<uint32_t> FirstTarget(uint64_t directory) const {
        auto count = EntryCount(directory);
        if (!count || *count == 0) return std::nullopt;
        return Read(EntryAt(directory, 0) + 4);
    }

    bool Has(uint64_t at, uint64_t count) const { return tree_.Has(at, count); }
    uint32_t Read(uint64_t at) const { return bytes_.U32(tree_.offset + at); }

private:
    std::optional<uint32_t> EntryCount(uint64_t directory) const {
        if (!tree_.Has(directory, kDirectoryHeaderSize)) return std::nullopt;
        const uint32_t count = uint32_t{bytes_.U16(tree_.offset + directory + 12)} +
                               bytes_.U16(tree_.offset + directory + 14);
        if (!tree_.Has(directory + kDirectoryHeaderSize, kDirectoryEntrySize * count)) return std::nullopt;
        return count;
    }
    static uint64_t EntryAt(uint64_t directory, uint32_t index) {
        return directory + kDirectoryHeaderSize + kDirectoryEntrySize * index;
    }

    const Bytes& bytes_;
    Region tree_;
};

// A target that leads to a subdirectory, as the offset of that subdirectory.
std::optional<uint64_t> Subdirectory(std::optional<uint32_t> target) {
    if (!target || (*target & kSubdirectoryBit) == 0) return std::nullopt;
    return *target & ~kSubdirectoryBit;
}

// The version resource's bytes. The tree has exactly three levels (type, name, language), so
// the walk takes three fixed steps and a directory that points back at itself cannot trap it.
std::optional<Region> FindVersionResource(const Bytes& bytes, const Layout& layout) {
    auto tree_region = MapAddress(bytes, layout, layout.resource_rva);
    if (!tree_region) return std::nullopt;
    const ResourceTree tree(bytes, *tree_region);

    auto names = Subdirectory(tree.FindById(0, kVersionType));
    if (!names) return std::nullopt;
    auto languages = Subdirectory(tree.FindById(*names, kVersionName));
    if (!languages) return std::nullopt;
    // Images carry one language of their version; the first is the one taken.
    auto data_entry = tree.FirstTarget(*languages);
    if (!data_entry || (*data_entry & kSubdirectoryBit) != 0 || !tree.Has(*data_entry, kDataEntrySize))
        return std::nullopt;

    auto data = MapAddress(bytes, layout, tree.Read(*data_entry));
    const uint32_t size = tree.Read(uint64_t{*data_entry} + 4);
    if (!data || data->length < size) return std::nullopt;
    data->length = size;
    return data;
}

// The fixed part at the head of the version information: a block header, the block's key in
// UTF-16 and, on the next 32-bit boundary, the fixed information with its signature.
std::optional<FileVersion> ReadFixedInfo(const Bytes& bytes, Region resource) {
    if (!resource.Has(0, kFixedInfoOffset + kFixedInfoSize)) return std::nullopt;
    const uint64_t at = resource.offset;
    const uint16_t block_length = bytes.U16(at);
    const uint16_t value_length = bytes.U16(at + 2);
    if (block_length > resource.length || block_length < kFixedInfoOffset + kFixedInfoSize) return std::nullopt;
    if (value_length < kFixedInfoSize) return std::nullopt;
    for (size_t index = 0; index <= kVersionKey.size(); ++index) {
        const char16_t expected = index < kVersionKey.size() ? kVersionKey[index] : u'\0';
        if (bytes.U16(at + kBlockHeaderSize + 2 * index) != expected) return std::nullopt;
    }
    const uint64_t fixed = at + kFixedInfoOffset;
    if (bytes.U32(fixed) != kFixedInfoSignature) return std::nullopt;
    return FileVersion{bytes.U32(fixed + 8), bytes.U32(fixed + 12)};
}

}  // namespace

std::optional<FileVersion> ReadFileVersion(std::span<const uint8_t> image) {
    const Bytes bytes(image);
    auto layout = ReadLayout(bytes);
    if (!layout) return std::nullopt;
    auto resource = FindVersionResource(bytes, *layout);
    if (!resource) return std::nullopt;
    return ReadFixedInfo(bytes, *resource);
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
