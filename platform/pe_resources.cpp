// Walks a Windows image's headers to its resource tree and down the tree's three levels (type,
// name, language). Offsets are kept in 64 bits, where sums of the file's 32-bit fields cannot
// overflow.
#include "platform/pe_resources.h"

#include <algorithm>

namespace rvx::platform {

namespace {

constexpr uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10b;
constexpr uint16_t kPe32PlusMagic = 0x20b;
constexpr uint32_t kResourceDirectory = 2;  // index in the optional header's data directories
constexpr uint64_t kSectionHeaderSize = 40;

constexpr uint32_t kSubdirectoryBit = 0x80000000;
constexpr uint64_t kDirectoryHeaderSize = 16;
constexpr uint64_t kDirectoryEntrySize = 8;
constexpr uint64_t kDataEntrySize = 16;

uint16_t Read16(std::span<const uint8_t> bytes, uint64_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 2) return 0;
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

uint32_t Read32(std::span<const uint8_t> bytes, uint64_t offset) {
    return uint32_t{Read16(bytes, offset)} | uint32_t{Read16(bytes, offset + 2)} << 16;
}

uint64_t EntryAt(uint64_t directory, uint32_t index) { return directory + kDirectoryHeaderSize + kDirectoryEntrySize * index; }

}  // namespace

uint16_t PeResources::U16(uint64_t offset) const { return Has(offset, 2) ? Read16(image_, offset) : 0; }
uint32_t PeResources::U32(uint64_t offset) const { return Has(offset, 4) ? Read32(image_, offset) : 0; }

// The file bytes behind a relative virtual address: inside the first section whose raw data
// covers it, as the system's own lookup does, up to the end of that raw data.
std::optional<PeResources::Region> PeResources::MapAddress(std::span<const uint8_t> image, uint64_t section_table,
                                                           uint32_t section_count, uint32_t rva) {
    for (uint32_t index = 0; index < section_count; ++index) {
        const uint64_t header = section_table + kSectionHeaderSize * index;
        const uint32_t virtual_address = Read32(image, header + 12);
        const uint32_t raw_size = Read32(image, header + 16);
        const uint32_t raw_offset = Read32(image, header + 20);
        if (rva < virtual_address || rva - virtual_address >= raw_size) continue;
        const uint64_t into = rva - virtual_address;
        Region region;
        region.offset = uint64_t{raw_offset} + into;
        if (region.offset < image.size()) region.length = std::min<uint64_t>(raw_size - into, image.size() - region.offset);
        return region;
    }
    return std::nullopt;
}

std::optional<PeResources> PeResources::Open(std::span<const uint8_t> image) {
    auto has = [&](uint64_t offset, uint64_t length) { return offset <= image.size() && length <= image.size() - offset; };
    if (!has(0, 64) || Read16(image, 0) != kDosMagic) return std::nullopt;
    const uint64_t pe = Read32(image, 0x3C);
    const uint64_t coff = pe + 4;
    const uint64_t optional = coff + 20;
    if (!has(pe, 4 + 20) || Read32(image, pe) != kPeSignature) return std::nullopt;
    const uint32_t section_count = Read16(image, coff + 2);
    const uint64_t optional_size = Read16(image, coff + 16);
    if (optional_size < 2 || !has(optional, optional_size)) return std::nullopt;

    // The two optional header formats differ in width before the data directories.
    uint64_t directory_count_field = 0;
    uint64_t directories = 0;
    switch (Read16(image, optional)) {
        case kPe32Magic: directory_count_field = 92; directories = 96; break;
        case kPe32PlusMagic: directory_count_field = 108; directories = 112; break;
        default: return std::nullopt;
    }
    const uint64_t resource_entry = directories + 8 * kResourceDirectory;
    if (resource_entry + 8 > optional_size) return std::nullopt;
    if (Read32(image, optional + directory_count_field) <= kResourceDirectory) return std::nullopt;

    const uint32_t resource_rva = Read32(image, optional + resource_entry);
    const uint64_t section_table = optional + optional_size;
    if (resource_rva == 0) return std::nullopt;
    if (!has(section_table, kSectionHeaderSize * section_count)) return std::nullopt;
    auto tree = MapAddress(image, section_table, section_count, resource_rva);
    if (!tree) return std::nullopt;
    return PeResources(image, section_table, section_count, *tree);
}

std::optional<uint32_t> PeResources::EntryCount(uint64_t directory) const {
    if (!tree_.Has(directory, kDirectoryHeaderSize)) return std::nullopt;
    const uint32_t count = uint32_t{U16(tree_.offset + directory + 12)} + U16(tree_.offset + directory + 14);
    if (!tree_.Has(directory + kDirectoryHeaderSize, kDirectoryEntrySize * count)) return std::nullopt;
    return count;
}

std::optional<uint32_t> PeResources::FindById(uint64_t directory, uint32_t id) const {
    auto count = EntryCount(directory);
    if (!count) return std::nullopt;
    for (uint32_t index = 0; index < *count; ++index) {
        // Named entries have the top bit set, so they never equal a number.
        if (TreeU32(EntryAt(directory, index)) == id) return TreeU32(EntryAt(directory, index) + 4);
    }
    return std::nullopt;
}

std::optional<uint64_t> PeResources::Subdirectory(std::optional<uint32_t> target) const {
    if (!target || (*target & kSubdirectoryBit) == 0) return std::nullopt;
    return *target & ~kSubdirectoryBit;
}

// The tree has exactly three levels, so the walk takes three fixed steps and a directory that
// points back at itself cannot trap it.
std::optional<std::span<const uint8_t>> PeResources::Find(uint32_t type, uint32_t name) const {
    auto names = Subdirectory(FindById(0, type));
    if (!names) return std::nullopt;
    auto languages = Subdirectory(FindById(*names, name));
    if (!languages) return std::nullopt;
    auto count = EntryCount(*languages);
    if (!count || *count == 0) return std::nullopt;
    const uint32_t data_entry = TreeU32(EntryAt(*languages, 0) + 4);
    if ((data_entry & kSubdirectoryBit) != 0 || !tree_.Has(data_entry, kDataEntrySize)) return std::nullopt;

    auto data = MapAddress(image_, section_table_, section_count_, TreeU32(data_entry));
    const uint32_t size = TreeU32(uint64_t{data_entry} + 4);
    if (!data || data->offset > image_.size() || data->length < size) return std::nullopt;
    return image_.subspan(data->offset, size);
}

std::optional<std::vector<uint32_t>> PeResources::Names(uint32_t type) const {
    if (!EntryCount(0)) return std::nullopt;
    auto target = FindById(0, type);
    if (!target) return std::vector<uint32_t>{};
    auto names = Subdirectory(target);
    if (!names) return std::nullopt;
    auto count = EntryCount(*names);
    if (!count) return std::nullopt;
    std::vector<uint32_t> found;
    for (uint32_t index = 0; index < *count; ++index) {
        const uint32_t name = TreeU32(EntryAt(*names, index));
        if ((name & kSubdirectoryBit) == 0) found.push_back(name);
    }
    return found;
}

}  // namespace rvx::platform
