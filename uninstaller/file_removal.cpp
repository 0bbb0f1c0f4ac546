// Removing the installation's files: logged files, shared files by their use count, the walk of
// the installation folder that finds leftover files, and the removal of empty folder trees.
#include "common/system/common_files.h"
#include "common/system/shared_counts.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller/wildcard_match.h"
#include "uninstaller_strings.h"

namespace rvx::uninstaller {

namespace {

using system::kSharedDllsKey;

// A folder whose walk or clean-up would reach over a whole drive: no text, "\", "C:", "C:\", or
// a path that "." and ".." lead back to a root. A damaged log may name one; the walk would then
// delete or offer every file of the drive.
bool IsWholeDrive(std::string_view folder) {
    std::string_view rest = folder;
    if (rest.size() >= 2 && rest[1] == ':') rest.remove_prefix(2);
    int depth = 0;
    while (!rest.empty()) {
        const size_t end = rest.find_first_of("\\/");
        const std::string_view name = text::TrimBlanks(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (name.empty() || name == ".") continue;
        if (name == "..") depth = depth > 0 ? depth - 1 : 0;
        else ++depth;
    }
    return depth == 0;
}

}  // namespace

void UninstallApp::DeleteLoggedFile(std::string_view path) {
    bool deleted = false;
    if (path.find('*') == std::string_view::npos) {
        (void)platform_.files.WriteAttributes(path, platform::attributes::normal);
        deleted = platform_.files.RemoveFile(path).ok();
    }
    if (!deleted && !IsRunningUninstaller(path)) {
        const size_t slash = path.rfind('\\');
        state_.leftover_patterns.emplace_back(slash == std::string_view::npos ? path : path.substr(slash + 1));
    }
}

void UninstallApp::ReleaseSharedFile(std::string_view path) {
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
    const std::string base = path::RemoveTrailingBackslash(folder);
    if (IsWholeDrive(base)) return;
    auto entries = platform_.files.FindFiles(base + "\\*");
    if (!entries) return;
    bool has_files = false;
    for (const auto& entry : entries.value()) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string full = base + "\\" + entry.name;
        if (entry.is_folder()) {
            WalkFolder(full, collect);
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
    for (const auto& pattern : state_.leftover_patterns) {
        if (!MatchWildcard(text::ToUpper(pattern), upper_path)) continue;
        (void)platform_.files.WriteAttributes(path, platform::attributes::normal);
        (void)platform_.files.RemoveFile(path);
        return true;
    }
    return false;
}

void UninstallApp::RemoveEmptyFolderTree(std::string_view folder) {
    if (IsWholeDrive(folder)) return;
    const std::string base = path::RemoveTrailingBackslash(folder);
    if (auto entries = platform_.files.FindFiles(base + "\\*")) {
        for (const auto& entry : entries.value())
            if (entry.is_folder() && entry.name != "." && entry.name != "..") RemoveEmptyFolderTree(base + "\\" + entry.name);
    }
    (void)platform_.files.RemoveFolder(base);
}

}  // namespace rvx::uninstaller
