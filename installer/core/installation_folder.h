// Where the software goes: the default folder, an older installation named by [OLDDIR], or an
// earlier installation found by the search; and the refusal of a publisher's update that finds
// no earlier product.
#pragma once

#include <string>

#include "installer/core/check_result.h"

namespace rvx::installer {

class InstallApp;

// Settles the installation folder, its copy and its drive root. Stops after the [KESTRAERRORTEXT]
// message when a publisher's update finds no earlier product; the run then ends.
CheckResult SettleInstallationFolder(InstallApp& app);

// The first line of [OLDDIR] when the section has a folder and at least one name, and every name
// exists inside that folder; empty otherwise.
std::string OlderInstallationFolder(InstallApp& app);

}  // namespace rvx::installer
