// Telling the user why a document or web address could not be opened, by the shell's code.
#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/shell.h"

namespace rvx::installer {

// "Unable to open hyperlink:" and the text for the code (string table, 42100 and up).
std::string OpenErrorMessage(platform::Resources& resources, platform::ShellCode code);

// Shows that message in an OK box with the exclamation icon.
void ShowOpenError(platform::UserInterface& ui, platform::Resources& resources, platform::ShellCode code);

}  // namespace rvx::installer
