// The install state's texts, messages and the confirm-quit question shared by the pages and the
// disk prompt.
#include "installer/core/state/install_state.h"

#include "common/app/dialogs.h"
#include "installer_strings.h"

namespace rvx::installer {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

bool InstallState::ConfirmQuit(int kind) {
    if (kind != 2) return false;
    return Message(Text(installer::kConfirmQuit), Buttons::yes_no, Icon::question, 2) == Answer::yes;
}

std::string InstallState::Text(int id) { return app::LoadText(platform_.resources, id); }

Answer InstallState::Message(std::string_view text, Buttons buttons, Icon icon, int default_button) {
    return app::ShowMessage(platform_.ui, Text(installer::kAppTitle), text, buttons, icon, default_button);
}

}  // namespace rvx::installer
