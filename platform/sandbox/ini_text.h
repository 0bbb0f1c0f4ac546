// Editing and reading .ini files the way the system's profile functions do: sections and keys
// are found ignoring case and surrounding blanks, the first of several equal ones counts, and
// everything else in the file is kept as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rvx::sandbox {

// The text after key=value was set in [section]: the key's value replaced (the key keeps the
// spelling it had), or the key added after the section's last line, or the section added at
// the end of the file. Lines end as the file's lines do ("\r\n" for a new file).
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

struct IniEntry {
    std::string key;    // trimmed
    std::string value;  // trimmed
};

// The key=value lines of the first [section], in file order, repeated keys included (the
// [Rename] section of WININIT.INI holds one "NUL=" line per deletion). Lines without "=" are
// left out.
std::vector<IniEntry> IniSectionEntries(std::string_view text, std::string_view section);

}  // namespace rvx::sandbox
