// The version number of a Windows program or library, read from the file's own bytes so that
// the host programs and the Windows programs compare versions alike.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/files.h"

namespace rvx::installer {

// The file version of a version resource's fixed part: most_significant holds the first two
// numbers (high word first), least_significant the last two; "1,2,3,4" is {0x00010002, 0x00030004}.
struct FileVersion {
    uint32_t most_significant = 0;
    uint32_t least_significant = 0;

    auto operator<=>(const FileVersion&) const = default;
};

// The file version of a 32-bit or 64-bit Windows image (PE32 or PE32+), taken from its version
// resource (type 16, name 1, its first language). Nothing when the bytes are not such an image,
// have no version resource, or any part of the way to it is damaged or cut off.
std::optional<FileVersion> ReadFileVersion(std::span<const uint8_t> image);

// The same for a file; nothing as well when it cannot be read or is larger than any program.
std::optional<FileVersion> ReadFileVersion(platform::FileSystem& files, std::string_view path);

}  // namespace rvx::installer
