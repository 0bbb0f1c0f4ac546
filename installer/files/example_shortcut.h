// The shortcut a file line with the letter L gets in the examples folder.
#pragma once

#include "installer/script/file_entry.h"

namespace rvx::installer {

class InstallState;

// Creates the examples folder and a shortcut there to the installed file.
void CreateExampleShortcut(InstallState& app, const FileEntry& entry);

}  // namespace rvx::installer
