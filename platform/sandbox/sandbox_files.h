// The simulated machine's file system: each drive is a host folder (drives/<LETTER>/ in the
// machine folder, or any host folder mapped to the drive, read-only when the machine says so).
// Windows paths resolve onto it ignoring case. Files listed as in use cannot be deleted or
// opened for writing; under denied paths nothing can be created, written or deleted.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/sandbox/machine_config.h"
#include "platform/sandbox/windows_path.h"

namespace rvx::sandbox {

class SandboxFiles : public platform::FileSystem {
public:
    // config must outlive this object; machine_folder is the host folder of the machine.
    SandboxFiles(const MachineConfig& config, std::string machine_folder);

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

    // The host folder that holds a drive's files.
    bool DriveRoot(char drive, std::string& host_root) const;
    // Where a Windows path lies on the host, for the machine's own tools.
    platform::Result<HostLocation> Locate(std::string_view path);

private:
    // Refuses a change (create, write, delete) at path: a read-only drive or a denied path
    // answers access_denied, a file in use sharing_violation.
    platform::Outcome CheckChange(const WindowsPath& path, bool touches_existing_file);

    const MachineConfig& config_;
    std::string machine_folder_;
    std::vector<WindowsPath> in_use_;
    std::vector<WindowsPath> denied_;
    WindowsPath current_;
};

}  // namespace rvx::sandbox
