// The question the installer asks before anything else, from [INITTEXT].
#pragma once

namespace rvx::installer {

class InstallState;

// True to go on: the answer Yes, or no question at all (an empty [INITTEXT] or an unattended
// installation). The run sequence ends the installation on false.
bool AskStartQuestion(InstallState& app);

}  // namespace rvx::installer
