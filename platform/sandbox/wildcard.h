// Matching of file names against the system's search patterns ("*.dll", "SETUP?.EXE", "*.*"),
// ignoring case.
#pragma once

#include <string_view>

namespace rvx::sandbox {

bool MatchesSearchPattern(std::string_view pattern, std::string_view name);

}  // namespace rvx::sandbox
