// The search for an earlier installation: the publisher's uninstall entry, the registry value
// named by %INSTALLDIR%, or a scan of the fixed drives for the files of [SEARCHINSTALL].
#include "installer/script/previous_installation.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/script/variables.h"
#include "installer_pages.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

constexpr const char* kUninstallKey = "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::string_view kInstallLog = "INSTALL.LOG";
// The search window follows the scan only every so many folders, to keep up with fast disks.
constexpr unsigned kFoldersPerUpdate = 10;

std::string LineOr(const TextList& lines, size_t index) { return index < lines.size() ? lines[index] : std::string(); }

bool SameFolder(std::string_view a, std::string_view b) {
    return text::EqualsIgnoreCase(path::RemoveTrailingBackslash(a), path::RemoveTrailingBackslash(b));
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text::EqualsIgnoreCase(text.substr(text.size() - ending.size()), ending);
}

// A "ROOT,KEY,VALUE" text, expanded first; an empty one names nothing.
OrStop<std::optional<std::string>> ReadExpandedRegistryValue(InstallState& app, std::string_view location) {
    if (location.empty()) return std::optional<std::string>();
    const Expansion expanded = Expanded(app, location);
    if (expanded.stopped()) return expanded.stop();
    return ReadRegistrySpecification(app.platform().registry, *expanded);
}

// One drive's depth-first search for a folder holding every file of names. A sub-folder is
// searched when its parent's listing reaches it, before the parent's remaining entries, so the
// order is that of a recursive walk; the walk keeps its folders on the heap instead.
class DriveSearch {
public:
    DriveSearch(platform::Platform& platform, const TextList& names, unsigned& folders_visited)
        : platform_(platform), names_(names), folders_visited_(folders_visited) {}

    // The first folder found, without its trailing "\" ("C:" for a drive's root); empty when none.
    std::string Run(const std::string& root) {
        stack_.clear();
        Enter(root);
        while (!stack_.empty()) {
            Folder& current = stack_.back();
            if (current.next == current.entries.size()) {
                if (current.matches == names_.size()) return path::RemoveTrailingBackslash(current.path);
                stack_.pop_back();
                continue;
            }
            const platform::FoundEntry& entry = current.entries[current.next++];
            if (entry.is_folder()) {
                if (entry.name != "." && entry.name != "..") Enter(path::AddTrailingBackslash(current.path) + entry.name);
                continue;  // current may have moved: it is read again from the stack
            }
            for (const auto& name : names_)
                if (text::EqualsIgnoreCase(entry.name, name)) ++current.matches;
        }
        return {};
    }

private:
    struct Folder {
        std::string path;
        std::vector<platform::FoundEntry> entries;
        size_t next = 0;
        size_t matches = 0;
    };

    void Enter(std::string folder) {
        if (++folders_visited_ % kFoldersPerUpdate == 0) platform_.ui.SetSearchFolder(folder);
        auto entries = platform_.files.ListNames(path::AddTrailingBackslash(folder) + "*");
        if (!entries.ok()) return;  // a folder that cannot be listed is left out
        stack_.push_back(Folder{std::move(folder), std::move(entries.value())});
    }

    platform::Platform& platform_;
    const TextList& names_;
    unsigned& folders_visited_;
    std::vector<Folder> stack_;
};

// The scan of the fixed drives (floppy drives A: and B: never); a find in the folder that holds
// the script is the product being installed, not an earlier installation, and does not count.
std::string ScanDrives(InstallState& app) {
    platform::Platform& platform = app.platform();
    const std::string script_folder = path::FolderOf(app.folders().script_path);
    unsigned folders_visited = 0;
    DriveSearch search(platform, app.script().search_install, folders_visited);
    std::string found;
    for (char letter : platform.files.Drives()) {
        letter = text::ToUpper(letter);
        if (letter == 'A' || letter == 'B') continue;
        const std::string root = std::string(1, letter) + ":\\";
        if (platform.files.DriveKind(root) != platform::DriveType::fixed) continue;
        std::string candidate = search.Run(root);
        if (!candidate.empty() && !SameFolder(candidate, script_folder)) {
            found = std::move(candidate);
            break;
        }
    }
    return found;
}

void UseEarlierInstallation(InstallState& app, std::string_view folder) {
    app.folders().previous_installation = path::RemoveTrailingBackslash(folder);
    app.folders().installation = app.folders().previous_installation;
    app.flags().update = true;
}

}  // namespace

std::string PublisherInstallationFolder(const ScriptSections& script, platform::Registry& registry,
                                        platform::FileSystem& files) {
    const TextList& lines = script.publisher_update;
    auto uninstall = ReadRegistrySpecification(registry, kUninstallKey + LineOr(lines, 0) + ",UninstallString");
    if (!uninstall) return {};
    // "UNINSTALLER.EXE ARGUMENT": the argument names the earlier product's log file.
    const size_t blank = uninstall->find(' ');
    if (blank == std::string::npos) return *uninstall;
    std::string argument = uninstall->substr(blank + 1);
    if (!EndsWithIgnoreCase(argument, kInstallLog)) return argument;
    argument.resize(argument.size() - kInstallLog.size());
    const std::string candidate = argument + LineOr(lines, 1);
    if (!platform::Exists(files, candidate + "\\" + LineOr(lines, 2))) return {};
    return candidate;
}

namespace {

Completion LookForPreviousInstallation(InstallState& app) {
    Folders& folders = app.folders();
    RunFlags& flags = app.flags();
    if (!app.script().publisher_update.empty()) {
        folders.installation = PublisherInstallationFolder(app.script(), app.platform().registry, app.platform().files);
        return Completion::Done();
    }
    if (!flags.patch && app.script().search_install.empty()) return Completion::Done();
    if (!folders.previous_installation.empty()) {
        folders.installation = path::RemoveTrailingBackslash(folders.previous_installation);
        return Completion::Done();
    }

    const auto registered = ReadExpandedRegistryValue(app, LookUpNamedValue(app.script().named_values, "%INSTALLDIR%"));
    if (registered.stopped()) return registered.stop();
    if (*registered && !(*registered)->empty()) {
        UseEarlierInstallation(app, **registered);
        const auto version = ReadExpandedRegistryValue(app, app.Text(kVersionRegistryLine));
        if (version.stopped()) return version.stop();
        if (*version) folders.installed_version = **version;
        return Completion::Done();
    }

    if (flags.patch || flags.no_search) return Completion::Done();
    if (std::string found = ScanDrives(app); !found.empty()) UseEarlierInstallation(app, found);
    return Completion::Done();
}

}  // namespace

Completion LocatePreviousInstallation(InstallState& app) {
    // The search window stays for the whole lookup, registry reads included, and shows the
    // message of its template; after a stop too, once its message has been shown.
    namespace search_ids = dialogs::search_window;
    app.platform().ui.ShowSearch(app.platform().resources.Dialog(search_ids::kDescription).Text(search_ids::kMessage));
    Completion looked = LookForPreviousInstallation(app);
    app.platform().ui.CloseSearch();
    return looked;
}

}  // namespace rvx::installer
