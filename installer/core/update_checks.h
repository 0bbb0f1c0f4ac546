// The version checks of an update script ([PATCH]) against the version already installed, and
// the reinstall question asked when the user chose to update an earlier installation in place.
#pragma once

#include "installer/core/check_result.h"

namespace rvx::installer {

class InstallApp;

// For an update script that is not a publisher's update: refuses a different language, an
// installed version older than the one the update needs, an older update, and the same version
// unless reinstalling was asked for or agreed to. Go on at once for any other script.
CheckResult CheckUpdateVersions(InstallApp& app);

// After the previous-installation page's "update" choice: a known installed version that is the
// same as or newer than [VERSION] asks whether to reinstall (an unattended run and
// [NOVERSIONIDEM] agree without asking). Agreeing sets the install-over flag.
CheckResult ConfirmSameVersionUpdate(InstallApp& app);

}  // namespace rvx::installer
