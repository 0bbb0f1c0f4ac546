// Changes that running programs make to machine.ini: the files in use that a restart releases. Only the lines concerned change; comments, blank lines and the
// order of everything else stay as they were written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace rvx::sandbox {

// The text with [in-use] listing exactly paths.
platform::Result<std::string> WithFilesInUse(std::string_view text, const std::vector<std::string>& paths,
                                             std::string_view file_name);

}  // namespace rvx::sandbox
