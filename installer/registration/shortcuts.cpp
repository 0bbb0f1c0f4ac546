// One shortcut file, the folder chain a group needs, and the desktop shortcuts.
#include "installer/registration/shortcuts.h"

#include <algorithm>
#include <string>

#include "common/app/dialogs.h"
#include "common/text/path_helpers.h"
#include "installer/core/state/install_state.h"
#include "installer/script/system_folders.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "platform/shortcut_path.h"

namespace rvx::installer {

namespace {

// The box of a failed save carries its own caption, not the installer's.
void ShowSaveError(InstallState& app) {
    (void)app::ShowMessage(app.platform().ui, app.Text(kShortcutErrorCaption), app.Text(kShortcutSaveFailed), platform::Buttons::ok,
                           platform::Icon::none);
}

bool IsDrive(std::string_view component) { return component.size() == 2 && component[1] == ':'; }

}  // namespace

FolderChainResult MakeFolderChain(platform::FileSystem& files, std::string_view path) {
    if (auto found = files.ReadAttributes(path); found.ok())
        return (found.value() & platform::attributes::directory) ? FolderChainResult::was_folder : FolderChainResult::is_file;
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);

    std::string built;
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(path.find('\\', start), path.size());
        const std::string_view component = path.substr(start, end - start);
        built.append(component);
        if (!component.empty() && !(start == 0 && IsDrive(component))) {
            if (auto found = files.ReadAttributes(built); found.ok()) {
                if ((found.value() & platform::attributes::directory) == 0) return FolderChainResult::is_file;
            } else if (auto made = files.MakeFolder(built); !made && made.status() != platform::Status::already_exists) {
                return made.status() == platform::Status::access_denied ? FolderChainResult::access_denied : FolderChainResult::failed;
            }
        }
        if (end >= path.size()) return FolderChainResult::created;
        built += '\\';
        start = end + 1;
    }
}

platform::Outcome CreateShortcut(InstallState& app, std::string_view target, std::string_view shortcut_path,
                                 std::string_view description, std::string_view working_folder) {
    const std::string link = std::string(shortcut_path) + ".lnk";
    // Checked here as well as by the shell, so that a refused path is not put in the log either:
    // the uninstaller would delete whatever it named.
    if (auto checked = platform::CheckShortcutPath(link); !checked) {
        app.TraceText("Shortcut refused: " + checked.error().Describe() + "\n");
        ShowSaveError(app);
        return checked;
    }

    platform::ShortcutSpec shortcut;
    shortcut.link_path = link;
    shortcut.target = target;
    shortcut.description = description;
    shortcut.working_folder = working_folder;
    // Recorded before it is made: a stop in between leaves no shortcut the log does not name.
    app.uninstall_log().RecordFilePath(link);
    platform::Outcome made = app.platform().shell.CreateShortcut(shortcut);
    if (!made) {
        app.TraceText("Shortcut not created: " + made.error().Describe() + "\n");
        // A shell without its link object makes no shortcut and says nothing; any other
        // failure is a save that failed.
        if (made.status() != platform::Status::unsupported && made.status() != platform::Status::not_available_yet)
            ShowSaveError(app);
    }
    return made;
}

Completion CreateDesktopShortcuts(InstallState& app) {
    const TextList& lines = app.script().desktop_icons;
    if (lines.size() < 4) return Completion::Done();
    const auto desktop = DesktopFolder(app.platform());
    if (!desktop) {
        app.TraceText("Desktop shortcuts not created: the system names no desktop folder\n");
        return Completion::Done();
    }
    const std::string folder = path::AddTrailingBackslash(*desktop);
    for (size_t first = 1; first + 2 < lines.size(); first += 3) {
        const Expansion target = Expanded(app, lines[first + 1]);
        if (target.stopped()) return target.stop();
        Expansion working_folder = Expanded(app, lines[first + 2]);
        if (working_folder.stopped()) return working_folder.stop();
        if (*working_folder == "$") working_folder->clear();
        (void)CreateShortcut(app, *target, folder + lines[first], "", *working_folder);
    }
    return Completion::Done();
}

}  // namespace rvx::installer
