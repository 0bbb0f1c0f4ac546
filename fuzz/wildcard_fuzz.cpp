// Fuzz target: leftover-file patterns matched against paths. The input is split at its first NUL
// into the pattern and the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "uninstaller/wildcard_match.h"

using rvx::uninstaller::MatchWildcard;

namespace {

// A plain table of which pattern prefixes match which text prefixes, for patterns without
// brackets: slow, but obviously right.
bool SimpleMatch(std::string_view pattern, std::string_view text) {
    const size_t n = text.size();
    std::vector<char> row(n + 1, 0), next(n + 1, 0);
    row[0] = 1;
    for (char p : pattern) {
        std::fill(next.begin(), next.end(), char{0});
        for (size_t t = 0; t <= n; ++t) {
            if (p == '*') {
                next[t] = row[t] || (t > 0 && next[t - 1]);
            } else if (t > 0) {
                next[t] = row[t - 1] && (p == '?' || p == text[t - 1]);
            }
        }
        row.swap(next);
    }
    return row[n] != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string_view pattern = input.substr(0, nul);
    const std::string_view text = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);

    const bool matched = MatchWildcard(pattern, text);
    if (!MatchWildcard("*", text)) __builtin_trap();
    if (matched) {
        // More stars around a matching pattern cannot make it fail.
        if (!MatchWildcard(std::string(pattern) + "*", text)) __builtin_trap();
        if (!MatchWildcard("*" + std::string(pattern), text)) __builtin_trap();
    }
    if (pattern.find('[') == std::string_view::npos && pattern.size() * text.size() <= 100000 &&
        matched != SimpleMatch(pattern, text))
        __builtin_trap();

    // A text holding no special character matches itself, and only itself.
    std::string plain;
    for (char c : text)
        if (c != '*' && c != '?' && c != '[') plain += c;
    if (!MatchWildcard(plain, plain)) __builtin_trap();
    if (!plain.empty() && MatchWildcard(plain, plain + "x")) __builtin_trap();
    return 0;
}
