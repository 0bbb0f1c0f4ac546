// The install state's texts, messages and the confirm-quit question shared by the pages and the
// disk prompt.
#include "installer/core/state/install_state.h"

#include "common/app/dialogs.h"
#include "common/app/exit_codes.h"
#include "common/text/text.h"
#include "installer_strings.h"

namespace rvx::installer {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

void ApplyScriptFlags(RunFlags& flags, const ScriptFlags& read) {
    flags.allow_version_update |= read.allow_version_update;
    flags.administrator_rights |= read.administrator_rights;
    flags.restart |= read.restart;
    flags.nt_only |= read.nt_only;
    flags.no_windows_95 |= read.no_windows_95;
    flags.install_over |= read.install_over;
    flags.no_search |= read.no_search;
    flags.desktop_shortcut_on |= read.desktop_shortcut_on;
    flags.network_install |= read.network_install;
    flags.no_same_version_question |= read.no_same_version_question;
    flags.patch |= read.patch;
    flags.publisher_update |= read.publisher_update;
}

void InstallState::NotePageNotShown(int dialog_id, const platform::Error& error) {
    page_not_shown_ = true;
    TraceText("Page " + std::to_string(dialog_id) + " could not be shown: " + error.Describe() + "\n");
}

bool InstallState::ConfirmQuit(QuitQuestion kind) {
    if (kind != QuitQuestion::not_finished) return false;
    return Message(Text(installer::kConfirmQuit), Buttons::yes_no, Icon::question, 2) == Answer::yes;
}

std::string InstallState::Text(int id) { return app::LoadText(platform_.resources, id); }

int InstallState::ReportUninstallLogFailure() {
    Message(text::InsertArguments(Text(kUninstallFileNotWritten), {uninstall_log_.path()}));
    return app::kExitFailed;
}

Answer InstallState::Message(std::string_view text, Buttons buttons, Icon icon, int default_button) {
    return ShowInstallerMessage(platform_.ui, platform_.resources, text, buttons, icon, default_button);
}

Answer ShowInstallerMessage(platform::UserInterface& ui, platform::Resources& resources, std::string_view text,
                            Buttons buttons, Icon icon, int default_button) {
    return app::ShowMessage(ui, app::LoadText(resources, installer::kAppTitle), text, buttons, icon, default_button);
}

}  // namespace rvx::installer
