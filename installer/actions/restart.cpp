// The restart page and the restart request.
#include "installer/actions/restart.h"

#include <string>

#include "installer/core/state/install_state.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

// The page's texts are those of its dialog template, which have no string-table ids.
constexpr const char* kCaption = "Norvane Installation";
constexpr const char* kRestartText = "In order to finish the installation your computer must be restarted.";
constexpr const char* kRestartNowText = "Restart the computer now";
constexpr const char* kRestartLaterText = "Restart the computer later";
constexpr int kTextControl = 100;

platform::PageModel RestartPage() {
    platform::PageModel page;
    page.dialog_id = kRestartPage;
    page.caption = kCaption;
    page.Add(kTextControl, platform::ControlKind::text, kRestartText);
    page.Add(kRestartNow, platform::ControlKind::button, kRestartNowText);
    page.Add(kRestartLater, platform::ControlKind::button, kRestartLaterText);
    return page;
}

}  // namespace

bool OfferRestart(InstallState& app) {
    platform::PageModel page = RestartPage();
    auto pressed = app.platform().ui.ShowPage(page);
    // Only the first button accepts; the later button, closing the page or a page that could
    // not be shown all decline.
    if (pressed && pressed.value() == kRestartNow) return true;
    if (app.answers().unattended) return true;
    // The reminder is shown only when the restart really waits: an unattended installation
    // restarts all the same.
    app.Message(app.Text(kRebootLater), platform::Buttons::ok, platform::Icon::information);
    return false;
}

bool RestartComputer(InstallState& app) {
    auto requested = app.platform().power.Restart();
    if (!requested) app.TraceText("The restart could not be requested: " + requested.error().Describe() + "\n");
    return requested.ok();
}

}  // namespace rvx::installer
