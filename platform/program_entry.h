// What a Windows program hands to the system's entry point: its built-in strings and its run
// step. Each program's entry file (programs/*_winmain.cpp) defines both; the entry point itself
// (platform/win32/win32_winmain.cpp) binds the platform to the real machine and calls them, so
// that no program text needs a system type.
#pragma once

#include <span>

#include "common/text/string_table.h"
#include "platform/platform.h"

namespace rvx::platform {

std::span<const text::StringEntry> ProgramStrings();
// Runs the program on the machine; returns the process exit code.
int RunProgram(Platform& platform);

}  // namespace rvx::platform
