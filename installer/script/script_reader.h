// Reading the install script: locating "Install.ini" (beside the installer, else in its "32\"
// folder), cleaning its lines, the "#if" / "#else" / "#endif" directives, section headers with
// language suffixes, the end marker, the required-section check and the working folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "installer/core/state/install_state.h"
#include "installer/script/expansion.h"

namespace rvx::installer {

// Reads the whole script into the install state's script storage and returns the run flags it
// raised, which the run sequence applies (ApplyScriptFlags); nothing after the reason has been
// shown, and the stop for an undefined variable in a text the reading expands. Every reading
// starts afresh, so the script can be read again later in the same run.
OrStop<std::optional<ScriptFlags>> ReadScript(InstallState& app);

// Cuts a line at its first ";" and removes leading and trailing spaces (tabs stay).
std::string CleanLine(std::string_view line);

}  // namespace rvx::installer
