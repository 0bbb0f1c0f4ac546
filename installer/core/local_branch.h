// The installation proper on this computer, once the installation folder is settled: removals,
// services and programs stopped, the copy stage, created files, fonts, shortcuts, registry,
// services, DirectX, desktop shortcuts, final commands and the restart question.
#pragma once

#include "installer/core/pages/wizard_pages.h"

namespace rvx::installer {

class InstallApp;

enum class LocalBranchResult {
    done,
    user_quit,    // at a disk prompt
    failed,       // a file failed and the user did not try again, or the disk is too small
    try_again,    // a file failed and the user wants to go back to the wizard and try again
    fatal_stop,   // a script text held an undefined variable; nothing after it was done
};

LocalBranchResult RunLocalBranch(InstallApp& app, WizardPages& pages);

}  // namespace rvx::installer
