// The simulated machine's file system: each drive is a host folder (drives/<LETTER>/ in the
// machine folder, or any host folder mapped to the drive, read-only when the machine says so).
// Windows paths resolve onto it ignoring case. Files listed as in use cannot be deleted or
// opened for writing; under denied paths nothing can be created, written or deleted. The
// machine keeps attributes and creation times beside the host files (file_metadata.h) and
// counts free space from what each drive holds (drive_space.h); read-only files refuse writing
// and deletion as on the system.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sandbox/drive_space.h"
#include "platform/sandbox/file_metadata.h"
#include "platform/sandbox/host_file.h"
#include "platform/sandbox/machine_config.h"
#include "platform/sandbox/windows_path.h"

namespace rvx::sandbox {

class HostFile;
class Machine;

class SandboxFiles : public platform::FileSystem {
public:
    // Whose rights the file system acts with: a program's, or the system's own while it starts
    // (no path is denied to it and no program holds files open).
    enum class Rights { program, system };

    // machine must outlive this object.
    explicit SandboxFiles(Machine& machine, Rights rights = Rights::program);

    platform::Result<std::unique_ptr<platform::File>> Open(const platform::OpenRequest& request) override;
    platform::Result<std::vector<platform::FoundEntry>> FindFiles(std::string_view pattern) override;
    // Sizes and times 0; what each entry is comes from the folder's listing where it says.
    platform::Result<std::vector<platform::FoundEntry>> ListNames(std::string_view pattern) override;
    platform::Result<uint32_t> ReadAttributes(std::string_view path) override;
    platform::Outcome WriteAttributes(std::string_view path, uint32_t attributes) override;
    platform::Outcome MakeFolder(std::string_view path) override;
    platform::Outcome RemoveFolder(std::string_view path) override;
    platform::Outcome RemoveFile(std::string_view path) override;
    platform::Outcome RenameFile(std::string_view from, std::string_view to) override;
    // NT family: appended to PendingFileRenameOperations (pending_renames.h); the 95 family has
    // no such service (programs write WININIT.INI themselves).
    platform::Outcome ScheduleMoveAtRestart(std::string_view from, std::string_view to) override;
    std::vector<char> Drives() override;
    platform::DriveType DriveKind(std::string_view root) override;
    platform::Result<platform::DiskSpace> FreeSpace(std::string_view root) override;
    // A file named without a folder lies in the Windows folder, as with the system's function.
    platform::Outcome WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                                    std::string_view value) override;
    std::string CurrentFolder() override;
    platform::Outcome SetCurrentFolder(std::string_view path) override;

    // Treats a file as in use for as long as this object lives (the running program's own file);
    // machine.ini does not learn of it.
    void HoldInUse(std::string_view path);

    // The host folder that holds a drive's files.
    bool DriveRoot(char drive, std::string& host_root) const;
    // Where a Windows path lies on the host, for the machine's own tools.
    platform::Result<HostLocation> Locate(std::string_view path);

private:
    platform::Result<std::unique_ptr<HostFile>> OpenHost(const platform::OpenRequest& request);
    // Refuses a change (create, write, delete) at path: a read-only drive or a denied path
    // answers access_denied, a file in use sharing_violation.
    platform::Outcome CheckChange(const WindowsPath& path, bool touches_existing_file);
    bool IsInUse(const WindowsPath& path) const;
    bool IsReadOnlyDrive(char drive) const;
    platform::Result<std::vector<platform::FoundEntry>> List(std::string_view pattern, bool details);
    // The attributes the system reports for an existing file or folder.
    uint32_t AttributesOf(const WindowsPath& path, bool folder) const;
    // The same from what the store keeps for it.
    uint32_t AttributesFrom(char drive, bool folder, const std::optional<FileMetadata>& kept) const;

    const MachineConfig& config_;
    std::string machine_folder_;
    FileMetadataStore& metadata_;
    DriveSpace& space_;
    LastClosedFile& last_closed_;
    FolderNameIndex& folder_names_;
    platform::Registry& registry_;
    Rights rights_;
    std::vector<WindowsPath> in_use_;
    std::vector<WindowsPath> denied_;
    WindowsPath current_;
};

}  // namespace rvx::sandbox
