// The restart at the end of an installation that needs one: the question to the user (the
// restart page, dialog 124) and the request to the system.
#pragma once

#include "installer/core/state/trace.h"
#include "installer_pages.h"
#include "platform/platform.h"

namespace rvx::installer {

// The restart page's ids: its "now" button accepts, its "later" button is the cancel button.
namespace restart_ids = dialogs::restart_page;

class InstallState;

// Shows the restart page; true when the computer is to be restarted now. Declining shows the
// reminder to restart later. An unattended installation restarts whichever button was pressed.
bool OfferRestart(InstallState& app);

// Asks the system to restart the computer; false when the restart could not be requested (the
// replacements left for the next start then wait for whatever start the user makes).
bool RestartComputer(platform::Power& power, Trace& trace);

}  // namespace rvx::installer
