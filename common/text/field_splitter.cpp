// The installer's field splitter.
#include "common/text/field_splitter.h"

#include "common/text/text.h"

namespace rvx::text {

namespace {

std::string CleanField(std::string_view raw, bool had_double, bool had_single) {
    std::string field(TrimBlanks(raw));
    char quote = had_double ? '"' : (had_single ? '\'' : '\0');
    if (quote != '\0') std::erase(field, quote);
    return field;
}

}  // namespace

std::vector<std::string> SplitFields(std::string_view text, std::string_view delimiters) {
    std::vector<std::string> fields;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t start = pos;
        bool had_double = false;
        bool had_single = false;
        while (pos < text.size() && delimiters.find(text[pos]) == std::string_view::npos) {
            char c = text[pos];
            if (c == '"' || c == '\'') {
                (c == '"' ? had_double : had_single) = true;
                size_t close = text.find(c, pos + 1);
                pos = close == std::string_view::npos ? text.size() : close + 1;
            } else {
                ++pos;
            }
        }
        fields.push_back(CleanField(text.substr(start, pos - start), had_double, had_single));
        if (pos < text.size()) ++pos;  // past the delimiter; a delimiter at the very end adds nothing
    }
    return fields;
}

}  // namespace rvx::text
