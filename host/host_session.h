// Runs one Windows program (the installer or the uninstaller) on a simulated machine: opens
// the machine, sets up the responder the options ask for, and turns every failure of the
// host side into a message and a documented exit code.
#pragma once

#include <functional>
#include <span>
#include <string>

#include "common/text/string_table.h"
#include "host/host_options.h"
#include "platform/dialog_description.h"
#include "platform/platform.h"
#include "platform/sandbox/machine.h"

namespace rvx::host {

struct ProgramInfo {
    const char* host_name;          // "rovexa"
    const char* default_program;    // "Rovexa.exe"
    std::span<const text::StringEntry> strings;
    // The program's dialogs: the built-in ones, which a language library's templates stand in
    // for, and which the pictures of the simulated screen are drawn from.
    std::span<const platform::DialogDescription* const> dialogs;
};

// Runs the program; run_app receives the platform and returns the program's exit code.
int RunOnMachine(const RunOptions& options, const ProgramInfo& info,
                 const std::function<int(platform::Platform&)>& run_app);

// What an exit code means, for the closing line the host programs print.
const char* DescribeExitCode(int code);

}  // namespace rvx::host
