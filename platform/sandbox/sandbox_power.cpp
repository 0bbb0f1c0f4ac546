// A program's restart of the simulated machine.
#include "platform/sandbox/sandbox_power.h"

#include "platform/sandbox/restart.h"

namespace rvx::sandbox {

platform::Outcome SandboxPower::Restart() {
    (void)machine_.journal().Write("POWER", {Word("action", "restart")});
    auto restarted = RestartMachine(machine_);
    if (!restarted) return restarted.error();
    return {};
}

}  // namespace rvx::sandbox
