// Replacing a file that is in use when the system next starts: the NT family records a delayed
// move, the 95 family reads the [Rename] section of WININIT.INI at start-up.
#pragma once

#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/platform.h"

namespace rvx::installer {

// Arranges that at the next start old_path is replaced by new_path. Failures go unnoticed: the
// installation asks for a restart all the same.
void ScheduleReplaceAtRestart(platform::Platform& platform, const std::string& new_path, const std::string& old_path);

// Adds "NUL=old_path" (delete the installed file) and "old_path=new_path" (move the new one in)
// at the end of WININIT.INI's [Rename] section, creating the section or the file when missing.
// Earlier entries are kept: the system carries out every line in order, so each scheduled
// file keeps its own NUL line (a profile write would keep only the last one).
platform::Outcome AppendWininitRename(platform::FileSystem& files, std::string_view wininit_path,
                                      std::string_view old_path, std::string_view new_path);

}  // namespace rvx::installer
