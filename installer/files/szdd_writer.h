// Writing files in the compress/expand format that the expanding reader and the system's LZ
// expansion read: the 14-byte header, then LZSS items over a 4 KiB window that starts as spaces.
// The medium builder stores product files this way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace rvx::installer {

// The compressed form of data. missing_character is the last character of the original file name,
// which the compressed file's name replaces by "_" ('\0' when it is not known); the header keeps it.
// A short match is weighed against the one that starts a byte later, which gives shorter output
// than always taking the longest match at once. Fails only for data of 4 GiB or more, whose size
// the header cannot hold.
platform::Result<std::string> CompressSzdd(std::string_view data, char missing_character);

// The name under which the installer looks for the compressed form of a stored file: the last
// character replaced by "_" (SETUP.EXE is stored as SETUP.EX_).
std::string CompressedName(std::string_view name);

}  // namespace rvx::installer
