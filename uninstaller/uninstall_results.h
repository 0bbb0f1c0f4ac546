// How each stage of an uninstallation ended, and the one mapping from those results to the
// message the user is shown and the program's exit code.
#pragma once

#include <optional>

#include "platform/user_interface.h"
#include "uninstaller/uninstall_pages.h"
#include "uninstaller_strings.h"

namespace rvx::uninstaller {

// Start-up: rights, the log and its product record, before anything is removed.
enum class StartResult {
    ready,
    no_rights,      // no write access to HKEY_LOCAL_MACHINE\SOFTWARE
    log_not_found,  // no log path, not exactly one ".nvu" file, or a log that cannot be read
    log_damaged,    // the log names no product
};

// The replay and what follows it.
enum class RemovalResult {
    removed,            // nothing was left behind
    leftovers_offered,  // the leftover dialog was shown
    leftovers_not_shown,  // removed, but the leftover dialog could not be shown
};

// The deletion of the uninstaller itself.
enum class SelfDeleteResult {
    batch_started,
    scheduled_at_restart,  // no batch; the program and its folder go at the next start
    not_removed,           // neither: the user must remove the program
};

// A message to show: its text's id (with "%1" for the argument the stage gives) and its icon.
struct StageMessage {
    StringId text;
    platform::Icon icon;
};

// Nothing for a result that has nothing to show.
std::optional<StageMessage> MessageFor(StartResult result);
std::optional<StageMessage> MessageFor(RemovalResult result);
std::optional<StageMessage> MessageFor(SelfDeleteResult result);

// The exit code of a run that ended with the result; nothing for a result that goes on.
std::optional<int> ExitCodeFor(StartResult result);
std::optional<int> ExitCodeFor(Confirmation answer);  // the question before anything is removed
int ExitCodeFor(RemovalResult result);

}  // namespace rvx::uninstaller
