// The network installation's branch of the run: the installation set copied to the shared
// folder, the registry stage, the uninstall records, and the network final page.
#pragma once

#include "installer/core/pages/wizard_pages.h"

namespace rvx::installer {

class InstallApp;

// False when the transfer failed (already reported to the user).
bool RunNetworkBranch(InstallApp& app, WizardPages& pages);

}  // namespace rvx::installer
