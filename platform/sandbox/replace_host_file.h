// Writing one of the machine's own files (the registry, the attribute store) so that a crash
// never leaves it half written: the new text goes to a temporary file that then replaces it.
#pragma once

#include <string>
#include <string_view>

#include "platform/result.h"

namespace rvx::sandbox {

platform::Outcome ReplaceHostFile(const std::string& host_path, std::string_view text);

}  // namespace rvx::sandbox
