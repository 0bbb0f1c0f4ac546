// The restart page and the restart request.
#include "installer/actions/restart.h"

#include <string>

#include "installer/core/state/install_state.h"
#include "installer_strings.h"
#include "platform/dialog_description.h"

namespace rvx::installer {

bool OfferRestart(InstallState& app) {
    // The page shows its template as it stands (the language library's, when one is in use).
    platform::PageModel page = platform::ModelOf(app.platform().resources.Dialog(restart_ids::kDescription));
    auto pressed = app.platform().ui.ShowPage(page);
    // Only the first button accepts; the later button or closing the page declines.
    if (!pressed) {
        app.NotePageNotShown(restart_ids::kDialog, pressed.error());
        return false;
    }
    if (pressed.value() == restart_ids::kRestartNow) return true;
    if (app.answers().unattended) return true;
    // The reminder is shown only when the restart really waits: an unattended installation
    // restarts all the same.
    app.Message(app.Text(kRebootLater), platform::Buttons::ok, platform::Icon::information);
    return false;
}

bool RestartComputer(platform::Power& power, Trace& trace) {
    auto requested = power.Restart();
    if (!requested) trace.Write("The restart could not be requested: " + requested.error().Describe() + "\n");
    return requested.ok();
}

}  // namespace rvx::installer
