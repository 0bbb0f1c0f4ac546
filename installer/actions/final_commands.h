// The programs an installation starts at its end ([FINALCOMMAND]), or, when the computer is to be
// restarted, the registry lines written instead ([REGRESTART]); and starting a program and
// waiting for it to end.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "installer/script/expansion.h"
#include "installer/script/variables.h"
#include "platform/platform.h"
#include "platform/shell.h"

namespace rvx::installer {

struct RunFlags;

// One [FINALCOMMAND] line: "program[, working folder[, wait mark[, arguments]]]".
struct FinalCommand {
    std::string command_line;    // the program, or "program" "arguments" with both quoted
    std::string working_folder;  // empty: the current folder stays
    bool wait = false;           // a wait mark beginning with W or w
};

// Splits and expands one line; the program also gets the display-text substitution. Nothing
// for an empty line; the stop for an undefined variable in a field.
OrStop<std::optional<FinalCommand>> ParseFinalCommand(const ExpansionSources& sources, std::string_view line);

// With the restart flag set, writes each expanded [REGRESTART] line as a registry line and starts
// nothing. Otherwise starts each [FINALCOMMAND] line in order: a working folder becomes the
// installer's current folder and stays so for the following lines; a marked line is waited for.
// A program that cannot be started is passed over without a message. An undefined variable in a
// line stops the stage before that line is acted on.
Completion RunFinalCommands(const ExpansionSources& sources, const RunFlags& flags, platform::Platform& platform);

// Starts a command line and waits for the program to end while the installer's windows are
// kept painted but take no input; false when it could not be started.
bool StartAndWait(platform::Processes& processes, std::string_view command_line, platform::ShowState show);

}  // namespace rvx::installer
