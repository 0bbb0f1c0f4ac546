// One open file of the real machine, closed with its handle when the object goes away.
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

class Win32File : public platform::File {
public:
    Win32File(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    ~Win32File() override;
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    platform::Result<size_t> Read(void* buffer, size_t size) override;
    platform::Outcome Write(const void* data, size_t size) override;
    platform::Result<uint64_t> Seek(int64_t offset, platform::SeekFrom from) override;
    platform::Result<uint64_t> Size() override;
    platform::Result<platform::FileTimes> Times() override;
    platform::Outcome SetTimes(const platform::FileTimes& times) override;

private:
    HANDLE handle_;
    std::string path_;  // names the file in error details
};

platform::FileTime FromFiletime(const FILETIME& time);
FILETIME ToFiletime(platform::FileTime time);

}  // namespace rvx::win32
