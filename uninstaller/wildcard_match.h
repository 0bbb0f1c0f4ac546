// The wildcard matcher the uninstaller compares leftover files with the log's name patterns by.
#pragma once

#include <string_view>

namespace rvx::uninstaller {

// True when pattern matches the whole of text. "*" matches any run of characters (none
// included), "?" exactly one character, and "[set]" one character of the set: a leading "!" or
// "^" negates it, "a-z" is a range (either order: "z-a" is the same), and "\" inside the
// brackets takes the next character literally. A set that is empty or never closed matches
// nothing. Every other character, "\" included, matches itself exactly (the caller compares
// upper-case texts). Runs in time proportional to the pattern's length times the text's.
bool MatchWildcard(std::string_view pattern, std::string_view text);

}  // namespace rvx::uninstaller
