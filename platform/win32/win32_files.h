// The file system of the real machine, through the system's ANSI file functions.
#pragma once

#include "platform/files.h"

namespace rvx::win32 {

class Win32FileSystem : public platform::FileSystem {
public:
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
};

}  // namespace rvx::win32
