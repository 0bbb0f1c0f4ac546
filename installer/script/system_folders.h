// Folders of the running system that the installer and the script refer to.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace rvx::installer {

// The program files folder: the registry's ProgramFilesDir, else "Program Files" on the Windows
// drive, else "C:" when that folder does not exist either.
std::string ProgramFilesFolder(platform::Platform& platform);

// The first two characters of the Windows folder ("C:").
std::string RootDrive(platform::Platform& platform);

// The common-files folder of this machine (the rule both programs share, common/system).
std::string CommonFilesFolder(platform::Platform& platform);

// The Windows folder's "Fonts" folder, or the system folder when there is none.
std::string FontsFolder(platform::Environment& environment, platform::FileSystem& files);
std::string FontsFolder(platform::Platform& platform);

// The all-users programs menu, else the user's; nothing when neither is known.
std::optional<std::string> ProgramsMenuFolder(platform::Platform& platform);

// The all-users desktop, else the user's; nothing when neither is known.
std::optional<std::string> DesktopFolder(platform::Platform& platform);

bool IsNtFamily(platform::Platform& platform);
// Windows 95 itself (98 and ME are not).
bool IsWindows95(platform::Platform& platform);

}  // namespace rvx::installer
