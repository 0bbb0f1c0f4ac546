// The local branch of the run sequence, stage by stage in the order the stages depend on.
#include "installer/core/local_branch.h"

#include "common/text/path_helpers.h"
#include "installer/actions/directx_setup.h"
#include "installer/actions/final_commands.h"
#include "installer/actions/restart.h"
#include "installer/actions/stop_programs.h"
#include "installer/core/install_app.h"
#include "installer/files/copy_engine.h"
#include "installer/files/replacement_rules.h"
#include "installer/registration/fonts.h"
#include "installer/registration/registry_lines.h"
#include "installer/registration/service_stages.h"
#include "installer/registration/shortcuts.h"
#include "installer/script/folder_operations.h"
#include "installer/script/variables.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

Completion RemoveOldFiles(InstallApp& app) {
    for (const std::string& line : app.script().delete_files)
        if (Completion deleted = DeleteListedFiles(app, app.platform().files, line); deleted.stopped()) return deleted;
    for (const std::string& line : app.script().kill_dirs)
        (void)RemoveFolderTree(app.platform().files, path::Join(app.folders().installation, line));
    return Completion::Done();
}

// The stages up to the copy; nothing when it ended the branch.
std::optional<LocalBranchResult> RemoveStopAndCopy(InstallApp& app) {
    if (RemoveOldFiles(app).stopped()) return LocalBranchResult::fatal_stop;
    const Expansion title = ExpandedDisplayText(app, app.script().title);
    if (title.stopped()) return LocalBranchResult::fatal_stop;
    app.progress().Open(*title);
    StopServicesForUpdate(app.platform().services, app.script());
    StopPrograms(app.platform().processes, app.script());
    switch (CopyFiles(app)) {
    case CopyStageResult::done: return std::nullopt;
    case CopyStageResult::fatal_stop: return LocalBranchResult::fatal_stop;
    case CopyStageResult::user_quit: return LocalBranchResult::user_quit;
    case CopyStageResult::stopped_before_copying: return LocalBranchResult::failed;
    case CopyStageResult::log_failed:
        (void)app.ReportUninstallLogFailure();
        return LocalBranchResult::failed;
    case CopyStageResult::file_failed: break;
    }
    const auto again = app.Message(app.Text(kTryAgainQuestion), platform::Buttons::yes_no, platform::Icon::question, 2);
    if (again != platform::Answer::yes) return LocalBranchResult::failed;
    // Back to the wizard, interactively from now on; the removals and the copy follow again.
    app.answers().unattended = false;
    app.progress().Close();
    return LocalBranchResult::try_again;
}

}  // namespace

LocalBranchResult RunLocalBranch(InstallApp& app, WizardPages& pages) {
    if (auto stopped = RemoveStopAndCopy(app)) return *stopped;

    app.progress().SetLine1("");
    app.progress().SetLine2("");
    (void)CreatePreallocatedFiles(app);
    (void)RegisterFonts(app.platform(), app.script(), app.copy_state());
    if (!app.flags().patch) {
        app.progress().SetLine1(app.Text(kCreatingIcons));
        app.TraceText("Make Group: \n");
        if (RunShortcutStage(app).stopped()) return LocalBranchResult::fatal_stop;
        if (app.uninstall_log().failed()) {
            app.progress().Close();
            (void)app.ReportUninstallLogFailure();
            return LocalBranchResult::failed;
        }
    }
    if (RunRegistryStage(app, app.flags(), app.platform().registry).stopped()) return LocalBranchResult::fatal_stop;
    app.progress().Close();

    if (app.flags().patch) {
        app.Message(app.Text(kUpdateInstalled), platform::Buttons::ok, platform::Icon::information);
    } else {
        Expansion caption = ExpandedDisplayText(app, app.script().title);
        if (caption.stopped()) return LocalBranchResult::fatal_stop;
        pages.caption = std::move(*caption);
        // Either page's result other than the fatal stop goes on: the installation is done.
        if (pages.success.Run() == kPageFatalStop) return LocalBranchResult::fatal_stop;
        if (pages.final_information.Run() == kPageFatalStop) return LocalBranchResult::fatal_stop;
    }
    StopServices(app.platform().services, app.script());
    RecordServicesForUninstaller(app.script(), app.uninstall_log());
    InstallDirectXIfNeeded(app.platform(), app.script(), app.folders(), app.flags());
    if (app.answers().desktop_shortcut_choice && CreateDesktopShortcuts(app).stopped()) return LocalBranchResult::fatal_stop;
    if (RunFinalCommands(app, app.flags(), app.platform()).stopped()) return LocalBranchResult::fatal_stop;
    if (app.flags().restart) app.flags().restart_now = OfferRestart(app);
    return LocalBranchResult::done;
}

}  // namespace rvx::installer
