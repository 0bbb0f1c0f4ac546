// Opening documents and web addresses for the pages: the shell opens what it can, and what it
// cannot is handed to the web browser registered for ".htm" pages, as the last argument of the
// browser's own open command.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_services.h"
#include "platform/user_interface.h"

namespace rvx::installer {

// The services opening needs: the shell, the registry of file types, program start, and the
// user interface, which shows the wait cursor while the target opens.
struct DocumentOpener {
    platform::Shell& shell;
    platform::Registry& registry;
    platform::Processes& processes;
    platform::UserInterface& ui;
};

// Opens target with the "open" verb; when the shell cannot, starts the registered browser's open
// command on it. Above 32 the target was opened; otherwise the shell's code (or, when the browser
// could not be started, the starting's code), which ShowOpenError explains.
platform::ShellCode OpenDocument(DocumentOpener opener, std::string_view target, platform::ShowState show);

// The browser's command line for target: the registered command cut before its first quoted "%1"
// (or else its first "%1"), then a blank and the target, unquoted.
std::string BrowserCommandLine(std::string_view registered_command, std::string_view target);

// Longest open command read from the registry, as the system's fixed buffer holds it.
inline constexpr size_t kMaxOpenCommand = 260;

}  // namespace rvx::installer
