// A file system held entirely in memory, with the Windows rules the installer relies on: paths
// resolve ignoring case, a file needs its folder, read-only files refuse writing and deletion,
// files held in use refuse deletion and writing, and a drive's free space is its capacity less
// what its files hold. For unit tests that need no disk.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/sandbox/windows_path.h"

namespace rvx::sandbox {

class MemoryFiles : public platform::FileSystem {
public:
    static constexpr uint64_t kDefaultCapacity = 1ull << 30;

    // Starts with the fixed drive C: (empty, with the default capacity) as its current folder.
    MemoryFiles();
    ~MemoryFiles() override;

    void AddDrive(char letter, uint64_t capacity = kDefaultCapacity, platform::DriveType kind = platform::DriveType::fixed);
    // Treats a file as open elsewhere without sharing: it cannot be written, renamed or deleted.
    void HoldInUse(std::string_view path);
    // Creates the folders along the path and the file with the text (a test's set-up).
    void Put(std::string_view path, std::string_view text);
    // The text of a file, or nothing when there is none.
    std::optional<std::string> Text(std::string_view path);
    // Every file and folder, as full paths in upper case, sorted (for comparing two states).
    std::vector<std::string> Listing() const;
    // The moves ScheduleMoveAtRestart recorded, as "from>to".
    const std::vector<std::string>& ScheduledMoves() const { return scheduled_moves_; }

    platform::Result<std::unique_ptr<platform::File>> Open(const platform::OpenRequest& request) override;
    platform::Result<std::vector<platform::FoundEntry>> FindFiles(std::string_view pattern) override;
    platform::Result<uint32_t> ReadAttributes(std::string_view path) override;
    platform::Outcome WriteAttributes(std::string_view path, uint32_t attributes) override;
    platform::Outcome MakeFolder(std::string_view path) override;
    platform::Outcome RemoveFolder(std::string_view path) override;
    platform::Outcome RemoveFile(std::string_view path) override;
    platform::Outcome RenameFile(std::string_view from, std::string_view to) override;
    platform::Outcome ScheduleMoveAtRestart(std::string_view from, std::string_view to) override;
    std::vector<char> Drives() override;
    platform::DriveType DriveKind(std::string_view root) override;
    platform::Result<platform::DiskSpace> FreeSpace(std::string_view root) override;
    platform::Outcome WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                                    std::string_view value) override;
    std::string CurrentFolder() override;
    platform::Outcome SetCurrentFolder(std::string_view path) override;

    struct Node;
    struct Drive;

private:
    platform::Result<WindowsPath> Normalize(std::string_view path) const;
    Node* Find(const WindowsPath& path);
    // not_found / path_not_found as the system tells them apart.
    platform::Error Missing(const WindowsPath& path);
    bool InUse(const WindowsPath& path) const;

    std::map<char, Drive> drives_;
    std::map<std::string, std::unique_ptr<Node>> nodes_;  // keyed by the upper-case path text
    std::vector<std::string> in_use_;                     // upper-case path texts
    std::vector<std::string> scheduled_moves_;
    WindowsPath current_;
    uint64_t clock_ = 0;
};

}  // namespace rvx::sandbox
