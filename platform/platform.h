// All the services of one machine, handed to the core as one bundle. The Windows programs bind
// it to the real system (platform/win32); the host programs to a simulated machine
// (platform/sandbox).
#pragma once

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/libraries.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_services.h"
#include "platform/user_interface.h"

namespace rvx::platform {

struct Platform {
    FileSystem& files;
    Registry& registry;
    Environment& environment;
    Shell& shell;
    ServiceControl& services;
    Processes& processes;
    Power& power;
    Fonts& fonts;
    ProgramManager& program_manager;
    Resources& resources;
    DirectXSetup& directx;
    UserInterface& ui;
    Clock& clock;
};

}  // namespace rvx::platform
