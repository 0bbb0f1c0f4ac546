// What a Windows program hands to the system's entry point: its built-in strings, its page
// descriptions and its run step. Each program's entry file (programs/*_winmain.cpp) defines them; the entry point itself
// (platform/win32/win32_winmain.cpp) binds the platform to the real machine and calls them, so
// that no program text needs a system type.
#pragma once

#include <span>

#include "common/text/string_table.h"
#include "platform/dialog_description.h"
#include "platform/platform.h"

namespace rvx::platform {

std::span<const text::StringEntry> ProgramStrings();
// Every dialog the program shows, as its page description defines it.
std::span<const DialogDescription* const> ProgramDialogs();
// Runs the program on the machine; returns the process exit code.
int RunProgram(Platform& platform);

}  // namespace rvx::platform
