// The text the uninstaller sends the program manager for a command of its log.
#pragma once

#include <string>
#include <string_view>

namespace rvx::uninstaller {

// The command as sent: every "%s" removed, "%%" made "%", at most 499 characters.
std::string FormatProgramManagerCommand(std::string_view text);

}  // namespace rvx::uninstaller
