// Version texts of the form "3.0.2", optionally written "Version 3.0.2" and optionally followed by
// "/" and a language mark ("3.0.2/F"): their comparison and their language mark.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rvx::installer {

struct VersionComparison {
    int64_t difference = 0;  // a - b of the first number that differs (of the third when none does)
    int equal_count = 0;     // how many leading numbers are equal before it, 0 to 2
};

// Compares the first three numbers of two version texts.
VersionComparison CompareVersions(std::string_view a, std::string_view b);

// The text without a leading "Version ".
std::string_view WithoutVersionPrefix(std::string_view version);

// The text after the first "/", empty when there is none.
std::string LanguageMark(std::string_view version);

}  // namespace rvx::installer
