// Where files that several products share are installed: the Common Files folder, found by the
// one rule both programs use, so that the uninstaller looks where the installer put them.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"

namespace rvx::system {

// The key both programs read the folder from, with that spelling (the registry ignores case).
inline constexpr const char* kCommonFilesKey = "Software\\Microsoft\\Windows\\Currentversion";

// CommonFilesDir, else ProgramFilesDir + "\Common Files", else "Program Files\Common Files" at
// the root of the Windows folder's drive (the Windows folder cut after its first "\"; one
// without any "\" is kept whole). Values that are not texts count as missing.
std::string CommonFilesFolder(platform::Registry& registry, std::string_view windows_folder);

}  // namespace rvx::system
