// File-name search patterns.
#include "platform/sandbox/wildcard.h"

#include "common/text/text.h"

namespace rvx::sandbox {

bool MatchesSearchPattern(std::string_view pattern, std::string_view name) {
    // "*.*" has always meant every name, with or without an extension.
    if (pattern == "*.*" || pattern == "*") return true;
    // Iterative matching with one back-tracking point: linear in practice, never recursive.
    size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || text::ToUpper(pattern[p]) == text::ToUpper(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace rvx::sandbox
