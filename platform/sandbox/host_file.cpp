// Open files of the simulated machine.
#include "platform/sandbox/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/sandbox/host_errors.h"

namespace rvx::sandbox {

using platform::Status;

namespace {

constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr int64_t kTicksPerSecond = 10000000;
// The last moment of the year 30827, the latest file time the system accepts.
constexpr uint64_t kLatestTicks = 0x7FFF35F4F06C7FFFULL;

}  // namespace

platform::FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    return platform::FileTime{static_cast<uint64_t>((seconds + kSecondsFrom1601To1970) * kTicksPerSecond + nanoseconds / 100)};
}

void UnixFromFileTime(platform::FileTime time, int64_t& seconds, int64_t& nanoseconds) {
    const auto ticks = static_cast<int64_t>(time.ticks);
    seconds = ticks / kTicksPerSecond - kSecondsFrom1601To1970;
    nanoseconds = ticks % kTicksPerSecond * 100;
}

HostFile::~HostFile() {
    ::close(fd_);
    if (books_.closed && sole_writer_ && known_size_ != kUnknownSize) books_.closed->Note(std::move(books_.path), known_size_);
}

platform::Result<size_t> HostFile::Read(void* buffer, size_t size) {
    // At the known end: nothing more to read, without asking the host.
    if (known_size_ != kUnknownSize && position_ >= known_size_) return size_t{0};
    for (;;) {
        // At the handle's own position: a seek costs the host nothing until the next read or write.
        ssize_t got = ::pread(fd_, buffer, size, static_cast<off_t>(position_));
        if (got >= 0) {
            position_ += static_cast<uint64_t>(got);
            return static_cast<size_t>(got);
        }
        if (errno != EINTR) return HostError(errno, windows_path_);
    }
}

platform::Outcome HostFile::Write(const void* data, size_t size) {
    if (!writable_) return platform::Fail(Status::access_denied, windows_path_ + " is open for reading only");
    if (size == 0) return {};
    // Growth is taken from the drive before anything is written, so a write that does not fit
    // leaves the file as it was.
    uint64_t size_before = 0;
    uint64_t growth = 0;
    if (books_.space) {
        auto size_now = Size();
        if (!size_now) return size_now.error();
        size_before = size_now.value();
        const uint64_t end = position_ + size;
        growth = end > size_before ? end - size_before : 0;
        if (growth > 0)
            if (auto taken = books_.space->Take(books_.path.drive, growth, windows_path_); !taken) return taken;
    }
    const char* bytes = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        ssize_t put = ::pwrite(fd_, bytes, left, static_cast<off_t>(position_ + (size - left)));
        if (put < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            if (growth > 0) {
                // Give back what the file did not grow by.
                struct stat info;
                const uint64_t size_after = ::fstat(fd_, &info) == 0 ? static_cast<uint64_t>(info.st_size) : size_before;
                const uint64_t grown = size_after > size_before ? size_after - size_before : 0;
                if (grown < growth) books_.space->Give(books_.path.drive, growth - grown);
            }
            position_ += size - left;
            known_size_ = kUnknownSize;
            return HostError(error, windows_path_);
        }
        bytes += put;
        left -= static_cast<size_t>(put);
    }
    position_ += size;
    if (known_size_ != kUnknownSize) known_size_ = std::max(known_size_, position_);
    if (!marked_changed_ && books_.metadata) {
        books_.metadata->MarkChanged(books_.path);
        marked_changed_ = true;
    }
    return {};
}

platform::Transfer HostFile::WriteFrom(platform::File& source, size_t size, void* buffer) {
    auto* from = dynamic_cast<HostFile*>(&source);
    // Only what the source is known to hold is asked of the host, so that the drive's books take
    // exactly the growth, as a write of the bytes read would.
    if (!from || from == this || !writable_ || size == 0 || from->known_size_ == kUnknownSize)
        return File::WriteFrom(source, size, buffer);
    if (from->position_ >= from->known_size_) return {};
    const size_t count = static_cast<size_t>(std::min<uint64_t>(size, from->known_size_ - from->position_));
    uint64_t size_before = 0;
    uint64_t growth = 0;
    if (books_.space) {
        auto size_now = Size();
        if (!size_now) return File::WriteFrom(source, size, buffer);
        size_before = size_now.value();
        const uint64_t end = position_ + count;
        growth = end > size_before ? end - size_before : 0;
        if (growth > 0)
            if (auto taken = books_.space->Take(books_.path.drive, growth, windows_path_); !taken)
                return platform::Transfer{0, std::nullopt, taken.error()};
    }
    loff_t in = static_cast<loff_t>(from->position_), out = static_cast<loff_t>(position_);
    ssize_t moved;
    do moved = ::copy_file_range(from->fd_, &in, fd_, &out, count, 0);
    while (moved < 0 && errno == EINTR);
    const uint64_t end = position_ + static_cast<uint64_t>(std::max<ssize_t>(moved, 0));
    const uint64_t grown = end > size_before ? end - size_before : 0;
    if (books_.space && grown < growth) books_.space->Give(books_.path.drive, growth - grown);
    // Files the host cannot copy between (another file system, a kind of file it does not copy):
    // the bytes go through the buffer, where a failure also tells which side it was.
    if (moved <= 0) return File::WriteFrom(source, size, buffer);
    from->position_ += static_cast<uint64_t>(moved);
    position_ = end;
    if (known_size_ != kUnknownSize) known_size_ = std::max(known_size_, position_);
    if (!marked_changed_ && books_.metadata) {
        books_.metadata->MarkChanged(books_.path);
        marked_changed_ = true;
    }
    return platform::Transfer{static_cast<size_t>(moved), std::nullopt, std::nullopt};
}

platform::Result<uint64_t> HostFile::Seek(int64_t offset, platform::SeekFrom from) {
    if (from == platform::SeekFrom::end) {
        const off_t position = ::lseek(fd_, static_cast<off_t>(offset), SEEK_END);
        if (position < 0) return HostError(errno, windows_path_);
        position_ = static_cast<uint64_t>(position);
        return position_;
    }
    const int64_t base = from == platform::SeekFrom::begin ? 0 : static_cast<int64_t>(position_);
    // Before the start, or beyond what a position can hold: refused as the host refuses it.
    if (offset < -base || (offset > 0 && base > INT64_MAX - offset)) return HostError(EINVAL, windows_path_);
    position_ = static_cast<uint64_t>(base + offset);
    return position_;
}

platform::Result<uint64_t> HostFile::Size() {
    if (known_size_ != kUnknownSize) return known_size_;
    struct stat info;
    if (::fstat(fd_, &info) != 0) return HostError(errno, windows_path_);
    if (sole_writer_) known_size_ = static_cast<uint64_t>(info.st_size);
    return static_cast<uint64_t>(info.st_size);
}

platform::Result<platform::FileTimes> HostFile::Times() {
    struct stat info;
    if (::fstat(fd_, &info) != 0) return HostError(errno, windows_path_);
    platform::FileTimes times;
    times.last_write = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    times.last_access = FileTimeFromUnix(info.st_atim.tv_sec, info.st_atim.tv_nsec);
    // The host keeps no creation time: the machine's store has it, or it is the last write.
    times.creation = times.last_write;
    if (books_.metadata)
        if (auto kept = books_.metadata->Find(books_.path); kept && kept->creation) times.creation = *kept->creation;
    return times;
}

platform::Outcome HostFile::SetTimes(const platform::FileTimes& times) {
    // The system asks for the right to write attributes, which opening for reading does not give.
    if (!writable_) return platform::Fail(Status::access_denied, windows_path_ + " is open for reading only");
    for (const platform::FileTime* time : {&times.creation, &times.last_access, &times.last_write})
        if (time->ticks > kLatestTicks)
            return platform::Fail(Status::invalid_argument, windows_path_ + ": a time beyond the system's range");
    struct timespec host[2];
    const platform::FileTime* wanted[2] = {&times.last_access, &times.last_write};
    for (int i = 0; i < 2; ++i) {
        if (wanted[i]->ticks == 0) {
            host[i].tv_sec = 0;
            host[i].tv_nsec = UTIME_OMIT;
            continue;
        }
        int64_t seconds = 0, nanoseconds = 0;
        UnixFromFileTime(*wanted[i], seconds, nanoseconds);
        host[i].tv_sec = static_cast<time_t>(seconds);
        host[i].tv_nsec = static_cast<long>(nanoseconds);
    }
    if (::futimens(fd_, host) != 0) return HostError(errno, windows_path_);
    if (times.creation.ticks != 0 && books_.metadata) {
        // The host keeps a time given to it to the nanosecond, finer than the system's ticks: only
        // a last write left as it was needs a look at the host.
        platform::FileTime last_write = times.last_write;
        if (last_write.ticks == 0) {
            auto now = Times();
            if (!now) return now.error();
            last_write = now->last_write;
        }
        FileMetadata metadata = books_.metadata->Find(books_.path).value_or(FileMetadata{});
        // A creation time equal to the last write is what a file without an entry reports.
        metadata.creation = times.creation == last_write ? std::nullopt : std::optional(times.creation);
        books_.metadata->Record(books_.path, metadata, false);
    }
    return {};
}

platform::Outcome HostFile::EndHere() {
    if (!writable_) return platform::Fail(Status::access_denied, windows_path_ + " is open for reading only");
    auto size = Size();
    if (!size) return size.error();
    if (position_ >= size.value()) return {};
    if (::ftruncate(fd_, static_cast<off_t>(position_)) != 0) {
        known_size_ = kUnknownSize;
        return HostError(errno, windows_path_);
    }
    if (known_size_ != kUnknownSize) known_size_ = position_;
    if (books_.space) books_.space->Give(books_.path.drive, size.value() - position_);
    return {};
}

}  // namespace rvx::sandbox
