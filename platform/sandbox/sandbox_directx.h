// The DirectX set-up library of an installation medium on the simulated machine. A library file
// that exists on the machine loads unless machine.ini's [directx] says it cannot; it then reports
// the installed version and revision and the set-up's result from [directx]. Loading, each
// call and unloading are journaled as DIRECTX lines, so a script author sees every step.
#pragma once

#include "platform/files.h"
#include "platform/libraries.h"
#include "platform/sandbox/journal.h"
#include "platform/sandbox/machine_config.h"

namespace rvx::sandbox {

class SandboxDirectX : public platform::DirectXSetup {
public:
    SandboxDirectX(const MachineConfig& config, platform::FileSystem& files, Journal& journal)
        : config_(config), files_(files), journal_(journal) {}
    platform::Result<std::unique_ptr<platform::DirectXLibrary>> Load(std::string_view library_path) override;

private:
    const MachineConfig& config_;
    platform::FileSystem& files_;
    Journal& journal_;
};

}  // namespace rvx::sandbox
