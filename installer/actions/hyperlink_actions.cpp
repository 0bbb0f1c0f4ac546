// The installer's hyperlink actions.
#include "installer/actions/hyperlink_actions.h"

#include "installer/actions/open_document.h"
#include "installer/actions/open_error.h"
#include "installer/core/state/install_state.h"

namespace rvx::installer {

platform::ShellCode InstallerHyperlinkActions::Open(std::string_view target) {
    return OpenDocument({platform_.shell, platform_.registry, platform_.processes, platform_.ui}, target,
                        platform::ShowState::normal);
}

void InstallerHyperlinkActions::ShowOpenError(platform::ShellCode code) {
    installer::ShowOpenError(platform_.ui, platform_.resources, code);
}

}  // namespace rvx::installer
