// Fuzz target: version texts read from the script and the registry, compared two at a time. The
// input is split at its first newline into the two texts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "installer/core/version_compare.h"

using rvx::installer::CompareVersions;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    const std::string_view a = input.substr(0, newline);
    const std::string_view b = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

    const auto forward = CompareVersions(a, b);
    if (forward.equal_count < 0 || forward.equal_count > 2) __builtin_trap();
    // Only the last number may be equal and still give the difference.
    if (forward.equal_count < 2 && forward.difference == 0) __builtin_trap();
    const auto backward = CompareVersions(b, a);
    if (backward.difference != -forward.difference || backward.equal_count != forward.equal_count) __builtin_trap();
    const auto same = CompareVersions(a, a);
    if (same.difference != 0 || same.equal_count != 2) __builtin_trap();
    // The "Version " prefix is removed once, so it changes nothing on a text that lacks it.
    if (a.substr(0, 8) != "Version ") {
        const auto prefixed = CompareVersions("Version " + std::string(a), a);
        if (prefixed.difference != 0 || prefixed.equal_count != 2) __builtin_trap();
    }
    (void)rvx::installer::LanguageMark(a);
    return 0;
}
