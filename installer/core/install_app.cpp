// InstallApp's framework steps: initialisation, the run sequence, the exit step, and the
// confirm-quit question shared by the pages.
#include "installer/core/install_app.h"

#include "common/app/dialogs.h"
#include "common/app/exit_codes.h"
#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/actions/restart.h"
#include "installer/actions/start_question.h"
#include "installer/core/installation_folder.h"
#include "installer/core/local_branch.h"
#include "installer/core/network_branch.h"
#include "installer/core/start_checks.h"
#include "installer/core/update_checks.h"
#include "installer/core/wizard.h"
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

    // An undefined variable ends the installer at once: what was recorded so far is closed
    // below, and nothing else of the end step runs.
    int code = RunSequence();
    if (page_not_shown_ && code != app::kExitFatalStop) code = app::kExitNotAvailableYet;
    progress_.Close();
    ExitInstance();
    // A complete installation puts its finished log in place; any other end leaves the working
    // log, which removes what was installed so far.
    if (code == app::kExitCompleted) {
        uninstall_log_.Close();
        if (uninstall_log_.failed()) code = ReportUninstallLogFailure();
    } else {
        uninstall_log_.Abandon();
    }
    if (code != app::kExitFatalStop && FinishRun().stopped()) code = app::kExitFatalStop;
    trace_.Close();
    return code;
}

int InstallApp::RunSequence() {
    // The page objects live for the whole run, so that a page keeps its values after Back.
    WizardPages pages(*this);
    PageSequence sequence;
    if (!ProcessCommandLine()) return app::kExitCouldNotStart;
    TraceText("Source Path = \"" + folders_.source + "\"\n");
    const OrStop<std::optional<ScriptFlags>> script_flags = ReadScript(*this);
    if (script_flags.stopped()) return app::kExitFatalStop;
    if (!*script_flags) return app::kExitCouldNotStart;
    ApplyScriptFlags(flags_, **script_flags);
    Expansion default_folder = Expanded(*this, folders_.default_folder);
    if (default_folder.stopped()) return app::kExitFatalStop;
    folders_.default_folder = std::move(*default_folder);
    platform::BackgroundLook look;
    for (const std::string& line : script_.background_image) look.pictures.push_back(folders_.source + line);
    if (!script_.small_image.empty()) look.small_picture = path::Join(folders_.source, script_.small_image.front());
    look.red = colours_.red;
    look.green = colours_.green;
    look.blue = colours_.blue;
    platform_.ui.SetBackgroundLook(look);
    const Expansion title = ExpandedDisplayText(*this, script_.title);
    if (title.stopped()) return app::kExitFatalStop;
    platform_.ui.SetBackgroundTitle(*title);

    if (ReportPendingStartError(*this) == CheckResult::stop) return app::kExitCouldNotStart;
    if (CheckRightsAndSystem(*this) == CheckResult::stop) return app::kExitCouldNotStart;
    if (!AskStartQuestion(platform_.ui, platform_.resources, script_, answers_)) return app::kExitCancelled;
    switch (SettleInstallationFolder(*this)) {
    case CheckResult::go_on: break;
    case CheckResult::stop: return app::kExitCouldNotStart;
    case CheckResult::fatal_stop: return app::kExitFatalStop;
    }
    const Expansion product_name = Expanded(*this, script_.product_name);
    if (product_name.stopped()) return app::kExitFatalStop;
    pages.previous.SetTexts(*product_name, folders_.previous_installation, script_.kill_dirs_text);
    pages.previous.SetChoice(PreviousInstallationChoice::update_here);
    FillPageSequence(*this, sequence);
    if (CheckUpdateVersions(*this) == CheckResult::stop) return app::kExitCouldNotStart;

    for (bool again = false;; again = true) {
        switch (RunWizard(*this, pages, sequence, again)) {
        case WizardResult::cancelled: return app::kExitCancelled;
        case WizardResult::refused: return app::kExitCouldNotStart;
        case WizardResult::fatal_stop: return app::kExitFatalStop;
        case WizardResult::done: break;
        }
        if (flags_.network_install) {
            switch (RunNetworkBranch(*this, pages)) {
            case NetworkBranchResult::done: return app::kExitCompleted;
            case NetworkBranchResult::failed: return app::kExitFailed;
            case NetworkBranchResult::fatal_stop: return app::kExitFatalStop;
            }
        }
        switch (RunLocalBranch(*this, pages)) {
        case LocalBranchResult::done: return app::kExitCompleted;
        case LocalBranchResult::user_quit: return app::kExitCancelled;
        case LocalBranchResult::failed: return app::kExitFailed;
        case LocalBranchResult::fatal_stop: return app::kExitFatalStop;
        case LocalBranchResult::try_again: sequence.Back(); break;
        }
    }
}

Completion InstallApp::FinishRun() {
    if (flags_.restart_now) {
        (void)RestartComputer(platform_.power, trace_);
        return Completion::Done();
    }
    if (!answers_.launch_choice || script_.auto_launch.size() < 2) return Completion::Done();
    const Expansion command = Expanded(*this, script_.auto_launch[1]);
    if (command.stopped()) return command.stop();
    (void)platform_.files.SetCurrentFolder(folders_.installation);
    (void)platform_.processes.RunCommand(*command, platform::ShowState::normal);
    return Completion::Done();
}

}  // namespace rvx::installer
