// What a start or update check decides: the run goes on, or it stops after the check has told
// the user why.
#pragma once

namespace rvx::installer {

enum class CheckResult { go_on, stop };

}  // namespace rvx::installer
