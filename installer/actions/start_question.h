// The question the installer asks before anything else, from [INITTEXT].
#pragma once

namespace rvx::installer {

class InstallApp;

// True to go on: the answer Yes, or no question at all (an empty [INITTEXT] or an unattended
// installation). The run sequence ends the installation on false.
bool AskStartQuestion(InstallApp& app);

}  // namespace rvx::installer
