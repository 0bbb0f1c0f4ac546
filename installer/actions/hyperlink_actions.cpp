// The installer's hyperlink actions.
#include "installer/actions/hyperlink_actions.h"

#include "installer/actions/open_document.h"
#include "installer/actions/open_error.h"
#include "installer/core/state/install_state.h"

namespace rvx::installer {

platform::ShellCode InstallerHyperlinkActions::Open(std::string_view target) {
    platform::Platform& platform = app_.platform();
    return OpenDocument({platform.shell, platform.registry, platform.processes}, target, platform::ShowState::normal);
}

void InstallerHyperlinkActions::ShowOpenError(platform::ShellCode code) { installer::ShowOpenError(app_, code); }

}  // namespace rvx::installer
