// The search for an earlier installation of the same product: through the publisher's
// uninstall entry ([KESTRAUPDATE]), through the registry value [SYSSTRINGS] names as
// %INSTALLDIR%, or by scanning the fixed drives for the files of [SEARCHINSTALL].
#pragma once

#include <string>

#include "installer/script/expansion.h"
#include "platform/platform.h"

namespace rvx::installer {

class InstallState;
struct ScriptSections;

// Fills the previous-installation and installation folders, the update flag and the installed
// version when an earlier installation is found, with the search window shown throughout. An
// undefined variable in a registry location it reads gives the stop.
Completion LocatePreviousInstallation(InstallState& app);

// The folder of the publisher's earlier product named by the script's three [KESTRAUPDATE]
// lines, as its uninstall entry and files tell; empty when there is none.
std::string PublisherInstallationFolder(const ScriptSections& script, platform::Registry& registry,
                                        platform::FileSystem& files);

}  // namespace rvx::installer
