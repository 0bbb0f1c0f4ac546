// The batch file that deletes the uninstaller once it has ended: a running program cannot delete
// its own file, so the batch tries until it can, then removes the program's folder when empty
// and itself.
#pragma once

#include <string>
#include <string_view>

namespace rvx::uninstaller {

inline constexpr const char* kSelfDeleteBatchName = "_dismara.bat";

// The batch's exact text (no final line end).
std::string SelfDeleteBatchText(std::string_view program_path, std::string_view batch_path);

}  // namespace rvx::uninstaller
