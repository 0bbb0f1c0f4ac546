// The shortcut a file line with the letter L gets in the examples folder.
#pragma once

#include "installer/files/file_entry.h"

namespace rvx::installer {

class InstallApp;

// Creates the examples folder and a shortcut there to the installed file.
void CreateExampleShortcut(InstallApp& app, const FileEntry& entry);

}  // namespace rvx::installer
