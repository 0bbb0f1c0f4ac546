// Comparison of version texts: three numbers, each read from where the one before it ended.
#include "installer/core/version_compare.h"

#include <array>
#include <cstddef>

namespace rvx::installer {

namespace {

constexpr std::string_view kVersionPrefix = "Version ";
// Numbers are read as a 32-bit long would hold them; longer digit runs saturate.
constexpr int64_t kLargest = 2147483647;
constexpr int64_t kSmallest = -2147483648LL;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number from text[at] on, after optional blanks and sign, and sets end to the
// first character that is not part of it; without digits the number is 0 and end stays at.
int64_t ReadNumber(std::string_view text, size_t at, size_t& end) {
    end = at;
    size_t i = at;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !IsDigit(text[i])) return 0;
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        if (value <= kLargest) value = value * 10 + (text[i] - '0');
    end = i;
    value = negative ? -value : value;
    return value > kLargest ? kLargest : value < kSmallest ? kSmallest : value;
}

std::array<int64_t, 3> ReadNumbers(std::string_view text) {
    text = WithoutVersionPrefix(text);
    std::array<int64_t, 3> numbers{};
    size_t at = 0;
    for (int64_t& number : numbers) {
        size_t end = 0;
        number = ReadNumber(text, at, end);
        // The character that ended a number is its separator; the next number starts after it.
        at = end < text.size() ? end + 1 : text.size();
    }
    return numbers;
}

}  // namespace

std::string_view WithoutVersionPrefix(std::string_view version) {
    if (version.substr(0, kVersionPrefix.size()) == kVersionPrefix) version.remove_prefix(kVersionPrefix.size());
    return version;
}

std::string LanguageMark(std::string_view version) {
    const size_t slash = version.find('/');
    return slash == std::string_view::npos ? std::string() : std::string(version.substr(slash + 1));
}

VersionComparison CompareVersions(std::string_view a, std::string_view b) {
    const auto first = ReadNumbers(a);
    const auto second = ReadNumbers(b);
    for (int i = 0; i < 2; ++i)
        if (first[i] != second[i]) return {first[i] - second[i], i};
    return {first[2] - second[2], 2};
}

}  // namespace rvx::installer
