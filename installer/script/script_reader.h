// Reading the install script: locating "Install.ini" (beside the installer, else in its "32\"
// folder), cleaning its lines, the "#if" / "#else" / "#endif" directives, section headers with
// language suffixes, the end marker, the required-section check and the working folder.
#pragma once

#include <string>
#include <string_view>

namespace rvx::installer {

class InstallState;

// Reads the whole script into the install state. False after the reason has been shown.
// Every reading starts afresh, so the script can be read again later in the same run.
bool ReadScript(InstallState& app);

// Cuts a line at its first ";" and removes leading and trailing spaces (tabs stay).
std::string CleanLine(std::string_view line);

}  // namespace rvx::installer
