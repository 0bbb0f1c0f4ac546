// Creating folder paths, removing folder trees and deleting wildcard matches. Trees are walked
// with a worklist on the heap, never by recursion, so that no depth of folders can exhaust the
// stack.
#include "installer/script/folder_operations.h"

#include <string>
#include <vector>

#include "common/text/path_helpers.h"

namespace rvx::installer {

using platform::Fail;
using platform::Status;

namespace {

bool IsDriveComponent(std::string_view component) { return component.size() == 2 && component[1] == ':'; }

// Setting the attributes only clears read-only and hidden bits that would stop the deletion;
// where attributes cannot be written (the simulated machine) the deletion still goes ahead.
platform::Outcome DeleteFileNormally(platform::FileSystem& files, const std::string& path) {
    (void)files.WriteAttributes(path, platform::attributes::normal);
    return files.RemoveFile(path);
}

// The folder part of a search pattern, ready to have a found name appended: up to its last "\",
// or the drive of "C:*.txt", or nothing.
std::string PatternFolder(std::string_view pattern) {
    const size_t cut = pattern.find_last_of('\\');
    if (cut != std::string_view::npos) return std::string(pattern.substr(0, cut + 1));
    if (IsDriveComponent(pattern.substr(0, 2))) return std::string(pattern.substr(0, 2));
    return {};
}

}  // namespace

platform::Outcome CreateFolderPath(platform::FileSystem& files, std::string_view path) {
    if (path.empty()) return Fail(Status::invalid_argument, "an empty folder path");
    // The server and share of a network path exist or not as a whole; they cannot be created.
    size_t levels_to_skip = path.starts_with("\\\\") ? 2 : 0;
    std::string prefix;
    size_t pos = 0;
    while (pos < path.size()) {
        size_t end = path.find('\\', pos);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view component = path.substr(pos, end - pos);
        prefix.append(path.substr(pos, end - pos));
        pos = end + 1;
        if (component.empty() || component == "." || component == "..") {
            prefix += '\\';
            continue;
        }
        const bool drive = prefix.size() == 2 && IsDriveComponent(prefix);
        const bool skip = drive || levels_to_skip > 0;
        if (levels_to_skip > 0 && !drive) --levels_to_skip;
        if (!skip) {
            auto attributes = files.ReadAttributes(prefix);
            if (attributes.ok()) {
                if ((attributes.value() & platform::attributes::directory) == 0)
                    return Fail(Status::already_exists, prefix + " is a file, not a folder");
            } else if (auto made = files.MakeFolder(prefix); !made && made.status() != Status::already_exists) {
                return made;
            }
        }
        if (end < path.size()) prefix += '\\';
    }
    if (!platform::IsFolder(files, path)) return Fail(Status::path_not_found, std::string(path) + " could not be created");
    return {};
}

bool RemoveFolderTree(platform::FileSystem& files, std::string_view folder) {
    struct Pending {
        std::string path;
        bool emptied = false;  // its entries have been dealt with (sub-folders wait above it)
    };
    std::vector<Pending> work{{path::RemoveTrailingBackslash(folder)}};
    bool removed = false;
    while (!work.empty()) {
        const size_t index = work.size() - 1;
        if (work[index].emptied) {
            const bool ok = files.RemoveFolder(work[index].path).ok();
            if (index == 0) removed = ok;
            work.pop_back();
            continue;
        }
        work[index].emptied = true;
        const std::string base = work[index].path + "\\";
        auto entries = files.FindFiles(base + "*");
        if (!entries.ok()) continue;
        for (const auto& entry : entries.value()) {
            if (entry.name.starts_with('.')) continue;
            if (entry.is_folder()) {
                work.push_back({base + entry.name});
            } else {
                (void)DeleteFileNormally(files, base + entry.name);
            }
        }
    }
    return removed;
}

bool DeleteMatchingFiles(platform::FileSystem& files, std::string_view pattern) {
    auto entries = files.FindFiles(pattern);
    if (!entries.ok()) {
        // Nothing matching is nothing to delete; a listing that failed otherwise is a failure.
        return entries.status() == Status::not_found || entries.status() == Status::path_not_found;
    }
    const std::string folder = PatternFolder(pattern);
    bool all_deleted = true;
    for (const auto& entry : entries.value()) {
        if (entry.is_folder()) continue;
        if (!DeleteFileNormally(files, folder + entry.name).ok()) all_deleted = false;
    }
    return all_deleted;
}

}  // namespace rvx::installer
