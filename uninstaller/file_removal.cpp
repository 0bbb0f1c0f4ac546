// Removing the installation's files: logged files, shared files by their use count, the walk of
// the installation folder that finds leftover files, and the removal of empty folder trees.
#include "common/app/trace.h"
#include "common/system/common_files.h"
#include "common/system/shared_counts.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "common/uninstall_log/records.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller/wildcard_match.h"
#include "uninstaller_strings.h"

namespace rvx::uninstaller {

namespace {

using system::kSharedDllsKey;

// The installer's temporary copies, which only an unfinished installation's log names.
bool IsTemporaryCopyName(std::string_view name) {
    if (name.size() < 4 || !text::EqualsIgnoreCase(name.substr(0, 3), "tmp")) return false;
    return name.substr(3).find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

void UninstallApp::DeleteLoggedFile(std::string_view path) {
    const size_t slash = path.rfind('\\');
    if (path.find('*') != std::string_view::npos) {
        // A name pattern for the leftovers, matched only within the folder its record names.
        std::string folder;
        const std::string_view folder_text = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
        if (const Refusal refused = bounds_.CheckFile(std::string(folder_text) + "x", &folder); refused != Refusal::none) {
            Refuse(".D", path, refused);
            return;
        }
        state_.leftover_patterns.emplace_back(path.substr(slash + 1));
        state_.leftover_pattern_folders.push_back(path::FolderOf(folder));
        return;
    }
    std::string canonical;
    Refusal refused = bounds_.CheckFile(path, &canonical);
    if (refused == Refusal::outside_product && state_.temporary_folder &&
        IsWithin(canonical, *state_.temporary_folder) && path::FolderOf(canonical).size() == state_.temporary_folder->size() + 1 &&
        IsTemporaryCopyName(path::NameOf(canonical)))
        refused = Refusal::none;
    if (refused != Refusal::none) {
        Refuse(".D", path, refused);
        return;
    }
    // Deleted as it stands; a file that refuses (read-only, say) is made normal and tried again.
    // That ends as making every file normal first would, without a call for each file.
    platform::Outcome removed = platform_.files.RemoveFile(canonical);
    if (!removed && removed.status() != platform::Status::not_found && removed.status() != platform::Status::path_not_found) {
        (void)platform_.files.WriteAttributes(canonical, platform::attributes::normal);
        removed = platform_.files.RemoveFile(canonical);
    }
    const bool deleted = removed.ok();
    if (!deleted && !IsRunningUninstaller(path)) {
        state_.leftover_patterns.emplace_back(slash == std::string_view::npos ? path : path.substr(slash + 1));
        state_.leftover_pattern_folders.push_back(path::FolderOf(canonical));
    }
}

void UninstallApp::Refuse(std::string_view code, std::string_view text, Refusal refusal) {
    state_.refusals.push_back(std::string(code) + std::string(text) + ": not removed, " + RefusalName(refusal));
    // Into the debug trace at once, each line on its own, so that a removal stopped midway has
    // traced every refusal it made.
    app::Trace trace;
    if (trace.Open(platform_.files, app::kTraceFilePath, app::TraceStart::appended)) trace.Write(state_.refusals.back() + "\n");
}

void UninstallApp::PrepareBounds() {
    bounds_ = RemovalBounds();
    platform::Environment& environment = platform_.environment;
    const std::string windows = environment.WindowsFolder();
    for (const std::string& folder : {windows, environment.SystemFolder(), windows + "\\Fonts", environment.TempFolder()})
        bounds_.Protect(folder);
    auto& registry = platform_.registry;
    const std::string common = system::CommonFilesFolder(registry, windows);
    bounds_.Protect(common);
    bounds_.Protect(path::FolderOf(path::RemoveTrailingBackslash(common)));  // Program Files
    if (auto programs = registry.ReadValue(platform::RootKey::local_machine, system::kCommonFilesKey, "ProgramFilesDir"))
        if (auto folder = programs->AsText()) bounds_.Protect(*folder);
    using platform::SpecialFolder;
    for (const SpecialFolder special : {SpecialFolder::programs, SpecialFolder::common_programs, SpecialFolder::desktop,
                                        SpecialFolder::common_desktop, SpecialFolder::start_menu, SpecialFolder::common_start_menu,
                                        SpecialFolder::startup, SpecialFolder::fonts, SpecialFolder::personal}) {
        auto folder = platform_.shell.SpecialFolderPath(special);
        if (!folder) continue;
        bounds_.Protect(folder.value());
        if (special != SpecialFolder::fonts) bounds_.AddShortcutFolder(folder.value());
    }
    // The product's own folders: those its log walks and cleans up.
    for (const auto& line : state_.log_lines) {
        if (line.size() > 2 && line[0] == uninstall_log::kRecordMark && (line[1] == 'F' || line[1] == 'Z'))
            bounds_.AddProductFolder(std::string_view(line).substr(2));
    }
    state_.temporary_folder.reset();
    if (auto temp = MakeCanonical(environment.TempFolder()).path) state_.temporary_folder = *temp;
}

void UninstallApp::ReleaseSharedFile(std::string_view path) {
    // Counted by its path as written; still, only a full path that does not climb is touched.
    if (const CanonicalPath canonical = MakeCanonical(path); !canonical.path) {
        Refuse(".E", path, canonical.refusal);
        return;
    }
    auto& registry = platform_.registry;
    auto value = registry.ReadValue(platform::RootKey::local_machine, kSharedDllsKey, path);
    const std::optional<uint32_t> stored = value ? system::DecodeSharedCount(*value) : std::nullopt;
    if (stored) {
        const auto count = static_cast<int32_t>(*stored);
        if (count == 1) {
            (void)platform_.files.WriteAttributes(path, platform::attributes::normal);
            if (platform_.files.RemoveFile(path)) state_.removed_shared_files.emplace_back(path);
            (void)registry.DeleteValue(platform::RootKey::local_machine, kSharedDllsKey, path);
            (void)registry.DeleteValue(platform::RootKey::local_machine, kSharedDllsKey, "Test");
        } else if (count > 1) {
            (void)registry.WriteValue(platform::RootKey::local_machine, kSharedDllsKey, path,
                                      system::EncodeSharedCount(static_cast<uint32_t>(count - 1), value->type));
        }
        // A count of 0 or less is already wrong; lowering it would only make it worse, so the
        // file and its count stay as they are.
    }

    // An emptied folder below Common Files goes with the file; without the key the folder is
    // read from, nothing is cleaned up.
    if (!registry.KeyExists(platform::RootKey::local_machine, system::kCommonFilesKey)) return;
    const std::string prefix =
        system::CommonFilesFolder(registry, platform_.environment.WindowsFolder()) + "\\";
    if (!path.starts_with(prefix)) return;
    const std::string_view below = path.substr(prefix.size());
    const size_t slash = below.find('\\');
    if (slash == std::string_view::npos || slash == 0) return;
    WalkFolder(prefix + std::string(below.substr(0, slash)), false);
}

void UninstallApp::WalkFolder(std::string_view folder, bool collect) {
    std::string base;
    if (const Refusal refused = bounds_.CheckFolder(folder, &base); refused != Refusal::none) {
        Refuse(collect ? ".F" : ".E", folder, refused);
        return;
    }
    WalkAllowedFolder(base, collect);
}

void UninstallApp::WalkAllowedFolder(const std::string& base, bool collect) {
    auto entries = platform_.files.ListNames(base + "\\*");
    if (!entries) return;
    bool has_files = false;
    for (const auto& entry : entries.value()) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string full = base + "\\" + entry.name;
        if (entry.is_folder()) {
            // A folder of the system or the shell inside the walk (a product folder holding
            // the desktop, say) is neither entered nor removed.
            if (!bounds_.IsProtected(full)) WalkAllowedFolder(full, collect);
            else has_files = true;
            continue;
        }
        has_files = true;
        if (collect && !MatchLeftoverPattern(full) && !IsRunningUninstaller(full) && !IsLogFile(full))
            state_.leftover_files.push_back(full);
    }
    if (!has_files) {
        ShowStatus(Text(kRemovingFile) + base);
        (void)platform_.files.RemoveFolder(base);
    }
}

bool UninstallApp::MatchLeftoverPattern(std::string_view path) {
    const std::string upper_path = text::ToUpper(path);
    for (size_t i = 0; i < state_.leftover_patterns.size(); ++i) {
        // A pattern only reaches the files within the folder of the record it came from.
        if (i < state_.leftover_pattern_folders.size() && !IsWithin(path, state_.leftover_pattern_folders[i])) continue;
        if (!MatchWildcard(text::ToUpper(state_.leftover_patterns[i]), upper_path)) continue;
        (void)platform_.files.WriteAttributes(path, platform::attributes::normal);
        (void)platform_.files.RemoveFile(path);
        return true;
    }
    return false;
}

void UninstallApp::RemoveEmptyFolderTree(std::string_view folder) {
    std::string base;
    if (const Refusal refused = bounds_.CheckFolder(folder, &base); refused != Refusal::none) {
        Refuse(".Z", folder, refused);
        return;
    }
    RemoveAllowedEmptyTree(base);
}

void UninstallApp::RemoveAllowedEmptyTree(const std::string& base) {
    if (auto entries = platform_.files.ListNames(base + "\\*")) {
        for (const auto& entry : entries.value()) {
            if (!entry.is_folder() || entry.name == "." || entry.name == "..") continue;
            const std::string sub = base + "\\" + entry.name;
            if (!bounds_.IsProtected(sub)) RemoveAllowedEmptyTree(sub);
        }
    }
    (void)platform_.files.RemoveFolder(base);
}

}  // namespace rvx::uninstaller
