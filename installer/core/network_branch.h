// The network installation's branch of the run: the installation set copied to the shared
// folder, the registry stage, the uninstall records, and the network final page.
#pragma once

#include "installer/core/pages/wizard_pages.h"

namespace rvx::installer {

class InstallApp;

enum class NetworkBranchResult {
    done,
    failed,      // the transfer failed (already reported to the user)
    fatal_stop,  // a script text held an undefined variable; nothing after it was done
};

NetworkBranchResult RunNetworkBranch(InstallApp& app, WizardPages& pages);

}  // namespace rvx::installer
