// Fuzz target: the .ini edit of WriteIniValue on arbitrary files. The first three lines of the
// input are the section, the key and the value, the rest is the file. After the edit, reading
// the section must give the value for the key, and a second identical edit must change nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text/text.h"
#include "platform/sandbox/ini_text.h"

namespace {

std::string_view NextLine(std::string_view& input) {
    const size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    return line;
}

// Names the profile functions cannot store unambiguously are not tried.
bool Plain(std::string_view text) { return text.find_first_of("\r\n[]=") == std::string_view::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view section = NextLine(input);
    const std::string_view key = NextLine(input);
    const std::string_view value = NextLine(input);
    if (!Plain(section) || !Plain(key) || value.find_first_of("\r\n") != std::string_view::npos) return 0;
    if (rvx::text::TrimBlanks(key).empty() || rvx::text::TrimBlanks(section).empty()) return 0;

    const std::string edited = rvx::sandbox::SetIniValue(input, section, key, value);
    bool found = false;
    for (const auto& entry : rvx::sandbox::IniSectionEntries(edited, section)) {
        if (!rvx::text::EqualsIgnoreCase(entry.key, rvx::text::TrimBlanks(key))) continue;
        if (entry.value != rvx::text::TrimBlanks(value)) __builtin_trap();
        found = true;
        break;
    }
    if (!found) __builtin_trap();
    if (rvx::sandbox::SetIniValue(edited, section, key, value) != edited) __builtin_trap();
    return 0;
}
