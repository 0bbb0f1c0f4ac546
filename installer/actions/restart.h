// The restart at the end of an installation that needs one: the question to the user (the
// restart page, dialog 124) and the request to the system.
#pragma once

namespace rvx::installer {

class InstallState;

// Shows the restart page; true when the computer is to be restarted now. Declining shows the
// reminder to restart later. An unattended installation restarts whichever button was pressed.
bool OfferRestart(InstallState& app);

// Asks the system to restart the computer; false when the restart could not be requested (the
// replacements left for the next start then wait for whatever start the user makes).
bool RestartComputer(InstallState& app);

// The restart page's id and the ids of its buttons.
inline constexpr int kRestartPage = 124;
inline constexpr int kRestartNow = 1;
inline constexpr int kRestartLater = 2;

}  // namespace rvx::installer
