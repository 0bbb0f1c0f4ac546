// The uninstaller's field splitter for registry lines and the warning condition.
#include "uninstaller/field_splitter.h"

namespace rvx::uninstaller {

namespace {

// Blanks only: a tab is part of the field, unlike the installer's splitter.
std::string_view TrimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string CleanField(std::string_view raw) {
    std::string_view field = TrimSpaces(raw);
    while (!field.empty() && field.front() == '"') field.remove_prefix(1);
    while (!field.empty() && field.back() == '"') field.remove_suffix(1);
    return std::string(field);
}

}  // namespace

std::vector<std::string> SplitUninstallFields(std::string_view text) {
    std::vector<std::string> fields;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        while (pos < text.size() && text[pos] != ',') {
            if (text[pos] == '"') {
                // A quoted run never splits; one left open runs to the end of the text.
                const size_t close = text.find('"', pos + 1);
                pos = close == std::string_view::npos ? text.size() : close + 1;
            } else {
                ++pos;
            }
        }
        fields.push_back(CleanField(text.substr(start, pos - start)));
        if (pos < text.size()) ++pos;  // past the comma; a comma at the very end adds nothing
    }
    return fields;
}

}  // namespace rvx::uninstaller
