// The shell's folder browser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/win32_api.h"

namespace rvx::win32 {

// The folder the user chose, the initial one preselected; nothing when the user cancelled or
// chose something that is not a folder of the file system.
std::optional<std::string> BrowseForFolderWithShell(HWND owner, std::string_view title, std::string_view initial);

}  // namespace rvx::win32
