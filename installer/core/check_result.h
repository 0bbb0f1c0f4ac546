// What a start or update check decides: the run goes on, or it stops after the check has told
// the user why, or a text the check expanded held an undefined variable (the fatal stop).
#pragma once

namespace rvx::installer {

enum class CheckResult { go_on, stop, fatal_stop };

}  // namespace rvx::installer
