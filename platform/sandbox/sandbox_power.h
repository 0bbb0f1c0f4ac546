// Restarting the simulated machine at a program's request: the request is journaled (POWER),
// then the machine starts again as `simmachine restart` does, carrying out the replacements
// left for the next start (restart.h). The program itself goes on until it ends.
#pragma once

#include "platform/system_services.h"

namespace rvx::sandbox {

class Machine;

class SandboxPower : public platform::Power {
public:
    explicit SandboxPower(Machine& machine) : machine_(machine) {}
    platform::Outcome Restart() override;

private:
    Machine& machine_;
};

}  // namespace rvx::sandbox
