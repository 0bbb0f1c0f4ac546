// The uninstaller's run step. Finding the log, the confirmation and the replay come next; until
// then the run ends with the documented "not available yet" code and changes nothing.
#include "uninstaller/uninstall_app.h"

#include "common/app/exit_codes.h"

namespace rvx::uninstaller {

int UninstallApp::Run() {
    ExitInstance();
    return app::kExitNotAvailableYet;
}

}  // namespace rvx::uninstaller
