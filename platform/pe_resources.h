// The resources of a Windows image (PE32 or PE32+), read from the file's own bytes so that the
// host programs find in a program or library exactly what the system's resource functions find
// there: the version of a file, the texts and dialogs of a language library.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rvx::platform {

inline constexpr uint32_t kResourceDialog = 5;
inline constexpr uint32_t kResourceString = 6;
inline constexpr uint32_t kResourceVersion = 16;

// Every offset and size comes from the image itself, so each range is checked against the bytes
// that are present before it is read; a damaged or cut-off part gives nothing, never a read
// outside the bytes. The bytes must outlive the reader and the spans it gives.
class PeResources {
public:
    // Nothing when the bytes are not such an image or it has no resource directory.
    static std::optional<PeResources> Open(std::span<const uint8_t> image);

    // The data of the resource with this numeric type and name, in its first language (images
    // carry one language per resource; the system takes the only one there is). Nothing when it
    // is missing or its entry or data lie outside the image.
    std::optional<std::span<const uint8_t>> Find(uint32_t type, uint32_t name) const;

    // The numeric names of the resources of a type, in the directory's order (names given as
    // text are skipped). Empty when there are none; nothing when the type's directory is damaged.
    std::optional<std::vector<uint32_t>> Names(uint32_t type) const;

private:
    struct Region {
        uint64_t offset = 0;
        uint64_t length = 0;
        bool Has(uint64_t at, uint64_t count) const { return at <= length && count <= length - at; }
    };

    PeResources(std::span<const uint8_t> image, uint64_t section_table, uint32_t section_count, Region tree)
        : image_(image), section_table_(section_table), section_count_(section_count), tree_(tree) {}

    uint16_t U16(uint64_t offset) const;
    uint32_t U32(uint64_t offset) const;
    bool Has(uint64_t offset, uint64_t length) const { return offset <= image_.size() && length <= image_.size() - offset; }
    static std::optional<Region> MapAddress(std::span<const uint8_t> image, uint64_t section_table,
                                            uint32_t section_count, uint32_t rva);
    // Within the resource tree, whose offsets count from its root directory.
    uint32_t TreeU32(uint64_t at) const { return U32(tree_.offset + at); }
    std::optional<uint32_t> EntryCount(uint64_t directory) const;
    std::optional<uint32_t> FindById(uint64_t directory, uint32_t id) const;
    std::optional<uint64_t> Subdirectory(std::optional<uint32_t> target) const;

    std::span<const uint8_t> image_;
    uint64_t section_table_ = 0;
    uint32_t section_count_ = 0;
    Region tree_;
};

}  // namespace rvx::platform
