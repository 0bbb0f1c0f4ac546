// The NT family's list of replacements waiting for the next system start: the REG_MULTI_SZ
// value PendingFileRenameOperations of the Session Manager key, a pair of strings per file. The
// first names the file as "\??\C:\path"; the second is empty to delete it, or names the new
// place, with a leading "!" when an existing file there is to be replaced.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rvx::sandbox {

inline constexpr const char* kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr const char* kPendingRenamesValue = "PendingFileRenameOperations";

struct PendingRename {
    std::string from;               // a Windows path, without "\??\"
    std::string to;                 // empty: delete from
    bool replace_existing = false;  // the target was marked with "!"
};

// The value's bytes with one more pair at the end: from, and to marked replace-existing (or an
// empty string when to is empty).
std::vector<uint8_t> AppendPendingRename(const std::vector<uint8_t>& value, std::string_view from, std::string_view to);

// The pairs of the value in order. A string left without a partner at the end is not a pair and
// is left out.
std::vector<PendingRename> ParsePendingRenames(const std::vector<uint8_t>& value);

}  // namespace rvx::sandbox
