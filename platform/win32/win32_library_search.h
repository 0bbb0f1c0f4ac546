// Where the Windows programs let libraries load from: the library search is restricted to the
// system folder before any library is loaded, so that a library planted in the current folder
// or beside a download is never picked up; libraries of the medium are loaded by full path,
// their own dependencies looked for beside them and in the system folder only.
#pragma once

#include <string>

#include "platform/win32/win32_api.h"

namespace rvx::win32 {

// First thing in both programs: SetDefaultDllDirectories where the system has it (looked up at
// run time), else SetDllDirectoryA("") where that exists, which takes the current folder out of
// the search.
void RestrictLibrarySearch();

// Loads a library by its full path, its dependencies searched beside it first.
HMODULE LoadLibraryByFullPath(const std::string& path);

}  // namespace rvx::win32
