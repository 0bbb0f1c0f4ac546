// One of each Windows service, owned together and handed to the core as a platform bundle.
#pragma once

#include <span>

#include "common/text/string_table.h"
#include "platform/platform.h"
#include "platform/win32/win32_directx.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_pending.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_ui.h"

namespace rvx::win32 {

struct Win32Platform {
    Win32Platform(HINSTANCE instance, std::span<const text::StringEntry> built_in_strings,
                  std::span<const platform::DialogDescription* const> dialogs);
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Win32FileSystem files;
    Win32Registry registry;
    Win32Environment environment;
    Win32Shell shell;
    Win32ServiceControl services;
    Win32Processes processes;
    Win32Power power;
    Win32Fonts fonts;
    Win32ProgramManager program_manager;
    Win32Resources resources;
    Win32DirectXSetup directx;
    Win32UserInterface ui;
    Win32Clock clock;

    platform::Platform bundle;
};

}  // namespace rvx::win32
