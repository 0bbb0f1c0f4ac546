// The shortcut a file line with the letter L gets in the examples folder.
#pragma once

#include "installer/script/expansion.h"
#include "installer/script/file_entry.h"

namespace rvx::installer {

class InstallState;

// Creates the examples folder and a shortcut there to the installed file; the stop, with
// nothing made, for an undefined variable in the examples folder.
Completion CreateExampleShortcut(InstallState& app, const FileEntry& entry);

}  // namespace rvx::installer
