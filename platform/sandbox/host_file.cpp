// Open files of the simulated machine.
#include "platform/sandbox/host_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sandbox/host_errors.h"

namespace rvx::sandbox {

using platform::Status;

namespace {
constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
}

platform::FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    return platform::FileTime{static_cast<uint64_t>((seconds + kSecondsFrom1601To1970) * 10000000LL + nanoseconds / 100)};
}

HostFile::~HostFile() { ::close(fd_); }

platform::Result<size_t> HostFile::Read(void* buffer, size_t size) {
    for (;;) {
        ssize_t got = ::read(fd_, buffer, size);
        if (got >= 0) return static_cast<size_t>(got);
        if (errno != EINTR) return HostError(errno, windows_path_);
    }
}

platform::Outcome HostFile::Write(const void* data, size_t size) {
    if (!writable_) return platform::Fail(Status::access_denied, windows_path_ + " is open for reading only");
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t put = ::write(fd_, bytes, size);
        if (put < 0) {
            if (errno == EINTR) continue;
            return HostError(errno, windows_path_);
        }
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return {};
}

platform::Result<uint64_t> HostFile::Seek(int64_t offset, platform::SeekFrom from) {
    int whence = from == platform::SeekFrom::begin ? SEEK_SET : from == platform::SeekFrom::current ? SEEK_CUR : SEEK_END;
    off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (position < 0) return HostError(errno, windows_path_);
    return static_cast<uint64_t>(position);
}

platform::Result<uint64_t> HostFile::Size() {
    struct stat info;
    if (::fstat(fd_, &info) != 0) return HostError(errno, windows_path_);
    return static_cast<uint64_t>(info.st_size);
}

platform::Result<platform::FileTimes> HostFile::Times() {
    struct stat info;
    if (::fstat(fd_, &info) != 0) return HostError(errno, windows_path_);
    platform::FileTimes times;
    times.last_write = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    times.last_access = FileTimeFromUnix(info.st_atim.tv_sec, info.st_atim.tv_nsec);
    // The host keeps no creation time; the last change of the file's status is the closest.
    times.creation = FileTimeFromUnix(info.st_ctim.tv_sec, info.st_ctim.tv_nsec);
    return times;
}

platform::Outcome HostFile::SetTimes(const platform::FileTimes&) {
    return platform::NotAvailableYet("setting file times on the simulated machine");
}

}  // namespace rvx::sandbox
