// InstallApp's framework steps: initialisation, the run sequence, the exit step, and the
// confirm-quit question shared by the pages.
#include "installer/core/install_app.h"

#include "common/app/dialogs.h"
#include "common/app/exit_codes.h"
#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "installer/actions/restart.h"
#include "installer/actions/start_question.h"
#include "installer/core/local_branch.h"
#include "installer/files/disk_space.h"
#include "installer/script/folder_operations.h"
#include "installer/script/script_reader.h"
#include "installer/script/variables.h"
#include "installer_strings.h"

namespace rvx::installer {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

std::string InstallApp::ProgramFolder() { return path::FolderOf(platform_.environment.ProgramPath()); }

bool InstallApp::InitInstance() {
    if (!platform_.ui.RegisterBackgroundClass()) return false;

    // The last exact "/D", "/F" or "/E" token picks the language; "/e" is not a switch.
    language_ = 'F';
    for (const auto& token : text::SplitFields(platform_.environment.CommandLine(), " ")) {
        if (token == "/D") language_ = 'D';
        if (token == "/F") language_ = 'F';
        if (token == "/E") language_ = 'E';
    }
    // Only from the installer's own folder, never through the library search path, so that a
    // library planted beside a download cannot be picked up. A missing library is not an error.
    const char* library = language_ == 'D' ? "rovexdeu.dll" : language_ == 'E' ? "rovexeng.dll" : nullptr;
    if (library) (void)platform_.resources.UseLanguageLibrary(ProgramFolder() + library);

    if (!platform_.ui.CreateBackground()) return false;
    background_created_ = true;

    flags_.restart = false;
    flags_.update = false;
    flags_.desktop_shortcut_on = false;
    flags_.publisher_update = false;
    answers_.desktop_shortcut_choice = false;
    answers_.launch_choice = false;
    colours_ = Colours{0, 0, 255};
    return true;
}

int InstallApp::ExitInstance() {
    if (background_created_) {
        platform_.ui.DestroyBackground();
        background_created_ = false;
    }
    return 0;
}

int InstallApp::Run() {
    flags_.patch = false;
    flags_.install_over = false;
    flags_.install_over_companion = false;
    flags_.no_same_version_question = false;
    flags_.network_install = false;
    flags_.no_search = false;
    flags_.administrator_rights = false;
    flags_.nt_only = false;
    flags_.no_windows_95 = false;
    flags_.allow_version_update = false;

    int code = app::kExitFailed;
    try {
        code = RunSequence();
    } catch (const FatalStop&) {
        // An undefined variable ends the installer at once; what was recorded so far is closed
        // below, and nothing else of the end step runs.
        code = app::kExitFatalStop;
    }
    progress_.Close();
    ExitInstance();
    // The uninstall log gets its folder records however the run ended.
    uninstall_log_.Close();
    if (code != app::kExitFatalStop) FinishRun();
    trace_.Close();
    return code;
}

int InstallApp::RunSequence() {
    if (!ProcessCommandLine()) return app::kExitCouldNotStart;
    TraceText("Source Path = \"" + folders_.source + "\"\n");
    if (!ReadScript(*this)) return app::kExitCouldNotStart;
    Expand(*this, folders_.default_folder);
    // The checks and the wizard come later; until then the installation goes to the answer
    // file's folder, or the script's default one, after the start question.
    if (!AskStartQuestion(*this)) return app::kExitCancelled;
    std::string folder = answers_.folder.empty() ? folders_.default_folder : answers_.folder;
    if (!CheckInstallFolder(*this, folder)) return app::kExitCancelled;
    folders_.installation = path::RemoveTrailingBackslash(folder);
    // As the documents-folder page does unattended: the answer's folder, made when missing.
    if (!answers_.documents_folder.empty() && CreateFolderPath(platform_.files, answers_.documents_folder))
        folders_.documents = path::AddTrailingBackslash(answers_.documents_folder);
    switch (RunLocalBranch(*this)) {
    case LocalBranchResult::user_quit: return app::kExitCancelled;
    case LocalBranchResult::failed: return app::kExitFailed;
    case LocalBranchResult::done: break;
    }
    TraceText("The checks and the wizard pages are not available yet.\n");
    return app::kExitNotAvailableYet;
}

void InstallApp::FinishRun() {
    if (flags_.restart_now) {
        (void)RestartComputer(*this);
        return;
    }
    if (!answers_.launch_choice || script_.auto_launch.size() < 2) return;
    const std::string command = Expanded(*this, script_.auto_launch[1]);
    (void)platform_.files.SetCurrentFolder(folders_.installation);
    (void)platform_.processes.RunCommand(command, platform::ShowState::normal);
}

bool InstallApp::ConfirmQuit(int kind) {
    if (kind != 2) return false;
    return Message(Text(installer::kConfirmQuit), Buttons::yes_no, Icon::question, 2) == Answer::yes;
}

std::string InstallApp::Text(int id) { return app::LoadText(platform_.resources, id); }

Answer InstallApp::Message(std::string_view text, Buttons buttons, Icon icon, int default_button) {
    return app::ShowMessage(platform_.ui, Text(installer::kAppTitle), text, buttons, icon, default_button);
}

}  // namespace rvx::installer
