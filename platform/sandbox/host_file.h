// An open file of the simulated machine: a host file descriptor behind the File interface.
#pragma once

#include <string>

#include "platform/files.h"

namespace rvx::sandbox {

class HostFile : public platform::File {
public:
    HostFile(int fd, std::string windows_path, bool writable)
        : fd_(fd), windows_path_(std::move(windows_path)), writable_(writable) {}
    ~HostFile() override;
    HostFile(const HostFile&) = delete;
    HostFile& operator=(const HostFile&) = delete;

    platform::Result<size_t> Read(void* buffer, size_t size) override;
    platform::Outcome Write(const void* data, size_t size) override;
    platform::Result<uint64_t> Seek(int64_t offset, platform::SeekFrom from) override;
    platform::Result<uint64_t> Size() override;
    platform::Result<platform::FileTimes> Times() override;
    platform::Outcome SetTimes(const platform::FileTimes& times) override;

private:
    int fd_;
    std::string windows_path_;
    bool writable_;
};

// Converts a host time (seconds and nanoseconds since 1970) into the system's file time.
platform::FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);

}  // namespace rvx::sandbox
