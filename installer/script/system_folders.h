// Folders of the running system that the installer and the script refer to.
#pragma once

#include <string>

#include "platform/platform.h"

namespace rvx::installer {

// The program files folder: the registry's ProgramFilesDir, else "Program Files" on the Windows
// drive, else "C:" when that folder does not exist either.
std::string ProgramFilesFolder(platform::Platform& platform);

// The first two characters of the Windows folder ("C:").
std::string RootDrive(platform::Platform& platform);

}  // namespace rvx::installer
