// The checks that decide whether an installation may start at all: the error left by
// [READREGISTRY], then the user's rights and the system the script requires.
#pragma once

#include "installer/core/check_result.h"

namespace rvx::installer {

class InstallApp;

// Shows the pending start error and stops, unless it is empty or begins with "@" (a silent one).
CheckResult ReportPendingStartError(InstallApp& app);

// In order: administrator rights ([ADMIN], and always a writable HKLM\SOFTWARE), [NTONLY] and
// [NOWIN95]. The first that fails shows its message and stops.
CheckResult CheckRightsAndSystem(InstallApp& app);

}  // namespace rvx::installer
