// The shortcut stage: the installation's uninstall records, then the older versions' shortcuts
// go and the [ICONS] groups and shortcuts are made in the Programs menu.
#include <string>
#include <vector>

#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/registration/shortcuts.h"
#include "installer/registration/uninstall_records.h"
#include "installer/script/folder_operations.h"
#include "installer/script/system_folders.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "platform/shortcut_path.h"

namespace rvx::installer {

namespace {

// Removes every empty folder below folder, deepest first, then folder itself when it has become
// empty; folders that still hold files stay (the system refuses to remove them). Walked with a
// worklist, never by recursion, so that no depth of folders can exhaust the stack.
void RemoveEmptyFolders(platform::FileSystem& files, const std::string& folder) {
    struct Pending {
        std::string path;
        bool listed = false;  // its sub-folders wait above it in the worklist
    };
    std::vector<Pending> work{{folder}};
    while (!work.empty()) {
        if (work.back().listed) {
            (void)files.RemoveFolder(work.back().path);
            work.pop_back();
            continue;
        }
        work.back().listed = true;
        const std::string base = work.back().path + "\\";
        auto entries = files.FindFiles(base + "*");
        if (!entries.ok()) continue;
        for (const auto& entry : entries.value())
            if (entry.is_folder() && entry.name != "." && entry.name != "..") work.push_back({base + entry.name});
    }
}

// One [DELETEOLDITEMS] line, as written: a shortcut name below the Programs menu, with wildcards.
void DeleteOldItems(InstallState& app, const std::string& programs, const std::string& line) {
    // Only names below the Programs menu: a ".." or a drive would reach other folders.
    if (!platform::HasNoDotComponents(line) || line.find(':') != std::string::npos) {
        app.TraceText("Old shortcuts not removed (outside the Programs menu): " + line + "\n");
        return;
    }
    platform::FileSystem& files = app.platform().files;
    const std::string pattern = programs + "\\" + line + ".lnk";
    (void)DeleteMatchingFiles(files, pattern);
    // The group's empty folders go too; when the pattern lies in the Programs menu itself, its
    // other products' groups and the Startup folder are none of this installation's business.
    const std::string holder = path::RemoveTrailingBackslash(pattern.substr(0, pattern.find_last_of("\\/")));
    if (text::EqualsIgnoreCase(holder, programs)) return;
    RemoveEmptyFolders(files, holder);
}

// One [ICONS] line: "Group\Name, target[, working folder]".
Completion CreateIcon(InstallState& app, const std::string& programs, const std::string& line) {
    const Expansion expanded = Expanded(app, SubstituteDisplayText(app.script(), line));
    if (expanded.stopped()) return expanded.stop();
    const std::vector<std::string> fields = text::SplitFields(*expanded, ",");
    if (fields.size() < 2) {
        app.TraceText("Shortcut line without a target: " + line + "\n");
        return Completion::Done();
    }
    const std::string& name = fields[0];
    const std::string shortcut_path = programs + "\\" + name;
    // A name that would leave the Programs menu gets no group folder; CreateShortcut refuses it.
    if (platform::CheckShortcutPath(shortcut_path + ".lnk").ok()) {
        const size_t cut = name.find_last_of('\\');
        const std::string group = cut == std::string::npos ? programs + "\\" : programs + "\\" + name.substr(0, cut);
        // A shortcut straight in the Programs menu has no group: the menu itself is the shell's.
        if (cut != std::string::npos) app.uninstall_log().AddFolderToRemove(group);
        (void)MakeFolderChain(app.platform().files, group);
    }
    (void)CreateShortcut(app, fields[1], shortcut_path, "", fields.size() > 2 ? fields[2] : std::string());
    return Completion::Done();
}

}  // namespace

Completion RunShortcutStage(InstallState& app) {
    app.progress().SetLine1(app.Text(kCreatingIcons));
    if (Completion recorded = WriteUninstallRecords(app, app.uninstall_log(), app.trace()); recorded.stopped()) return recorded;

    const auto programs = ProgramsMenuFolder(app.platform());
    if (!programs) {
        app.TraceText("Shortcuts not created: the system names no Programs menu\n");
        return Completion::Done();
    }
    const std::string folder = path::RemoveTrailingBackslash(*programs);
    for (const std::string& line : app.script().delete_old_items) DeleteOldItems(app, folder, line);
    for (const std::string& line : app.script().icons)
        if (Completion made = CreateIcon(app, folder, line); made.stopped()) return made;
    return Completion::Done();
}

}  // namespace rvx::installer
