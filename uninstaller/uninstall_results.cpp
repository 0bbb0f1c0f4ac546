// The uninstaller's messages and exit codes for the results of its stages.
#include "uninstaller/uninstall_results.h"

#include "common/app/exit_codes.h"

namespace rvx::uninstaller {

using platform::Icon;

std::optional<StageMessage> MessageFor(StartResult result) {
    switch (result) {
    case StartResult::ready: return std::nullopt;
    case StartResult::no_rights: return StageMessage{kNeedAdminRights, Icon::warning};
    case StartResult::log_not_found: return StageMessage{kLogNotFound, Icon::warning};
    case StartResult::log_damaged: return StageMessage{kLogDamaged, Icon::warning};
    }
    return std::nullopt;
}

std::optional<StageMessage> MessageFor(RemovalResult result) {
    switch (result) {
    case RemovalResult::removed: return StageMessage{kRemoved, Icon::information};
    // The leftover dialog replaces the success message.
    case RemovalResult::leftovers_offered:
    case RemovalResult::leftovers_not_shown: return std::nullopt;
    }
    return std::nullopt;
}

std::optional<StageMessage> MessageFor(SelfDeleteResult result) {
    switch (result) {
    case SelfDeleteResult::batch_started: return std::nullopt;
    case SelfDeleteResult::scheduled_at_restart: return StageMessage{kSelfDeleteAtRestart, Icon::warning};
    case SelfDeleteResult::not_removed: return StageMessage{kSelfDeleteFailed, Icon::warning};
    }
    return std::nullopt;
}

std::optional<int> ExitCodeFor(StartResult result) {
    if (result == StartResult::ready) return std::nullopt;
    return app::kExitCouldNotStart;
}

std::optional<int> ExitCodeFor(Confirmation answer) {
    switch (answer) {
    case Confirmation::yes: return std::nullopt;
    case Confirmation::no: return app::kExitCancelled;
    // Nothing is removed without the user's answer; a user interface without pages yet says so.
    case Confirmation::not_shown: return app::kExitNotAvailableYet;
    }
    return app::kExitCouldNotStart;
}

int ExitCodeFor(RemovalResult result) {
    // The product is removed all the same when its last page was missing; the code says so.
    return result == RemovalResult::leftovers_not_shown ? app::kExitNotAvailableYet : app::kExitCompleted;
}

}  // namespace rvx::uninstaller
