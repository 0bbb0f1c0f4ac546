// Windows paths on the simulated machine: normalising a path the program gives ("c:/x\..\Y",
// "\Folder", "name.txt") into a drive letter and components, and resolving it case-insensitively
// onto the host folder that holds the drive.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"
#include "platform/sandbox/host_entry_kind.h"

namespace rvx::sandbox {

struct WindowsPath {
    char drive = 'C';                     // upper case
    std::vector<std::string> components;  // no empty, "." or ".." components

    // "C:\Folder\File.txt"; the root alone is "C:\".
    std::string Text() const;
    bool IsRoot() const { return components.empty(); }
    WindowsPath Parent() const;
    // True when this path is other or lies below it (ignoring case).
    bool IsWithin(const WindowsPath& other) const;
};

// Normalises path against the current folder: "/" counts as "\", "." and ".." are resolved
// (never above the root), a path without a drive takes the current one. Network paths
// ("\\server\share") are refused with path_not_found.
platform::Result<WindowsPath> NormalizeWindowsPath(std::string_view path, const WindowsPath& current);

// Where a Windows path lies on the host.
struct HostLocation {
    std::string host_path;   // the host file or folder (which may not exist yet)
    bool exists = false;     // the whole path exists on the host
    bool parent_exists = false;  // every folder above it exists
    WindowsPath path;        // the path with the case of the names found on disk
    // What the existing entry is, when the index of folder names knows it (unknown otherwise).
    HostEntryKind kind = HostEntryKind::unknown;
};

// Maps a drive letter to its host folder; returns false when the drive does not exist.
using DriveRootLookup = std::function<bool(char drive, std::string& host_root)>;

class FolderNameIndex;

// Resolves each component to an existing host name that equals it ignoring case (the exact
// name first); components that do not exist keep the case they were given. With an index of
// folder names, folders are read through it instead of each time a name is missing.
platform::Result<HostLocation> ResolveOnHost(WindowsPath path, const DriveRootLookup& drive_root,
                                             FolderNameIndex* names = nullptr);

}  // namespace rvx::sandbox
