// The family name of a TrueType font file, the name under which the font is registered with
// the system when it is installed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace rvx::installer {

// The longest family name taken; a longer one is cut here.
inline constexpr size_t kMaxFontFamilyLength = 200;

// The family name of a TrueType font: name ID 1 of the platform ID 3 (Microsoft) records of its
// "name" table, converted from big-endian UTF-16 to the 8-bit ANSI code page; at most 200
// characters. A font names its family once per language; the first such record in the table
// is the one taken. Characters outside the code page's first 256 become "?" (a surrogate pair
// counts as one character) and a NUL character ends the name. Nothing when the bytes are not
// a TrueType (or OpenType) file with a name table that has such a record, or when any offset
// or length on the way to it points outside the bytes.
std::optional<std::string> ReadFontFamilyName(std::span<const uint8_t> font);

// The same for a file. Only the offset table, the table directory and the parts of the name
// table that are needed are read, each with a bounded read after a seek; nothing as well when
// the file cannot be opened or read.
std::optional<std::string> ReadFontFamilyName(platform::FileSystem& files, std::string_view path);

}  // namespace rvx::installer
