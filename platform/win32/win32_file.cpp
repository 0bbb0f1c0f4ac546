// One open file of the real machine.
#include "platform/win32/win32_file.h"

#include <algorithm>

#include "platform/win32/win32_errors.h"

namespace rvx::win32 {

// ReadFile and WriteFile take 32-bit counts; larger requests go in pieces of this size.
constexpr size_t kLargestTransfer = 0x40000000;

platform::FileTime FromFiletime(const FILETIME& time) {
    return platform::FileTime{(uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime};
}

FILETIME ToFiletime(platform::FileTime time) {
    FILETIME result;
    result.dwLowDateTime = DWORD(time.ticks & 0xFFFFFFFFu);
    result.dwHighDateTime = DWORD(time.ticks >> 32);
    return result;
}

Win32File::~Win32File() { CloseHandle(handle_); }

platform::Result<size_t> Win32File::Read(void* buffer, size_t size) {
    DWORD done = 0;
    if (!ReadFile(handle_, buffer, DWORD(std::min(size, kLargestTransfer)), &done, nullptr)) return LastError(path_);
    return size_t(done);
}

platform::Outcome Win32File::Write(const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD done = 0;
        if (!WriteFile(handle_, bytes, DWORD(std::min(size, kLargestTransfer)), &done, nullptr)) return LastError(path_);
        if (done == 0) return ErrorFromCode(ERROR_HANDLE_DISK_FULL, path_);
        bytes += done;
        size -= done;
    }
    return {};
}

platform::Result<uint64_t> Win32File::Seek(int64_t offset, platform::SeekFrom from) {
    DWORD method = FILE_BEGIN;
    if (from == platform::SeekFrom::current) method = FILE_CURRENT;
    if (from == platform::SeekFrom::end) method = FILE_END;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(handle_, distance, &position, method)) return LastError(path_);
    return uint64_t(position.QuadPart);
}

platform::Result<uint64_t> Win32File::Size() {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) return LastError(path_);
    return uint64_t(size.QuadPart);
}

platform::Result<platform::FileTimes> Win32File::Times() {
    FILETIME creation, access, write;
    if (!GetFileTime(handle_, &creation, &access, &write)) return LastError(path_);
    return platform::FileTimes{FromFiletime(creation), FromFiletime(access), FromFiletime(write)};
}

platform::Outcome Win32File::SetTimes(const platform::FileTimes& times) {
    const FILETIME creation = ToFiletime(times.creation);
    const FILETIME access = ToFiletime(times.last_access);
    const FILETIME write = ToFiletime(times.last_write);
    if (!SetFileTime(handle_, &creation, &access, &write)) return LastError(path_);
    return {};
}

}  // namespace rvx::win32
