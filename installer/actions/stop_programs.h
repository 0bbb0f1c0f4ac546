// Asking running programs to close before their files are replaced ([STOPPROGRAM]): each line
// names a top-level window by class and title and the menu command that closes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rvx::installer {

struct ScriptSections;

struct StopProgramLine {
    std::string window_class;  // empty: any class
    std::string window_title;
    uint32_t command = 0;
};

// "class, title, command": the command is hexadecimal after a leading "0x" (in either case),
// else decimal. Nothing unless the line has exactly three fields.
std::optional<StopProgramLine> ParseStopProgramLine(std::string_view line);

// Sends every line's command to its window, when that window exists, and waits until the window
// has handled it. Missing windows and malformed lines are passed over silently.
void StopPrograms(platform::Processes& processes, const ScriptSections& script);

}  // namespace rvx::installer
