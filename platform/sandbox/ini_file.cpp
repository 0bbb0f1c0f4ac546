// Reader for the simulated machine's description file.
#include "platform/sandbox/ini_file.h"

#include "common/text/text.h"

namespace rvx::sandbox {

platform::Result<std::vector<IniSection>> ParseIni(std::string_view text, std::string_view file_name) {
    std::vector<IniSection> sections;
    int number = 0;
    while (!text.empty()) {
        ++number;
        size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

        std::string_view line = text::TrimBlanks(raw);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        auto fail = [&](const std::string& why) {
            return platform::Fail(platform::Status::invalid_argument,
                                  std::string(file_name) + " line " + std::to_string(number) + ": " + why);
        };
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) return fail("a section header must look like [name]");
            sections.push_back(IniSection{text::ToLower(text::TrimBlanks(line.substr(1, line.size() - 2))), number, {}});
            continue;
        }
        if (sections.empty()) return fail("a line before the first [section]");
        IniLine entry;
        entry.number = number;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            entry.key = std::string(line);
        } else {
            entry.key = std::string(text::TrimBlanks(line.substr(0, equals)));
            entry.value = std::string(text::TrimBlanks(line.substr(equals + 1)));
            entry.has_value = true;
            if (entry.key.empty()) return fail("a value without a name");
        }
        sections.back().lines.push_back(std::move(entry));
    }
    return sections;
}

}  // namespace rvx::sandbox
