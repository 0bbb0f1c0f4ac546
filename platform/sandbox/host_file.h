// An open file of the simulated machine: a host file descriptor behind the File interface. It
// keeps the machine's books as the file changes: the drive's free space as it grows, the
// archive mark when it is written, the creation time the host cannot keep.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/sandbox/drive_space.h"
#include "platform/sandbox/file_metadata.h"
#include "platform/sandbox/windows_path.h"

namespace rvx::sandbox {

// The size a file had when a handle that alone could write it was closed, kept until the
// machine opens, moves or removes a file again: removing that file next needs no look at the
// host for the room it frees. Changes by other processes are not in the drive's books anyway.
class LastClosedFile {
public:
    void Note(WindowsPath path, uint64_t size) {
        path_ = std::move(path);
        size_ = size;
        known_ = true;
    }
    void Forget() { known_ = false; }
    // The size noted for path (spelled as its resolution spells it); nothing when none is.
    std::optional<uint64_t> SizeOf(const WindowsPath& path) const {
        if (!known_ || path.drive != path_.drive || path.components != path_.components) return std::nullopt;
        return size_;
    }

private:
    WindowsPath path_;
    uint64_t size_ = 0;
    bool known_ = false;
};

// Where an open file reports its changes; null members are not kept up to date.
struct FileBooks {
    DriveSpace* space = nullptr;
    FileMetadataStore* metadata = nullptr;
    WindowsPath path;
    LastClosedFile* closed = nullptr;  // told the size at the close, when this handle knows it
};

// How the file was opened, as far as its size is concerned.
struct SizeKnowledge {
    // Sharing no writing: no one else can change its size, so the size this handle last saw (or
    // made, when it writes) is the file's.
    bool sole_writer = false;
    // Made or emptied by the open itself: its size is 0 without asking the host.
    bool emptied = false;
};

class HostFile : public platform::File {
public:
    HostFile(int fd, std::string windows_path, platform::Access access, FileBooks books, SizeKnowledge size = {})
        : fd_(fd),
          windows_path_(std::move(windows_path)),
          writable_(access != platform::Access::read),
          books_(std::move(books)),
          sole_writer_(size.sole_writer),
          known_size_(sole_writer_ && size.emptied ? 0 : kUnknownSize) {}
    ~HostFile() override;
    HostFile(const HostFile&) = delete;
    HostFile& operator=(const HostFile&) = delete;

    platform::Result<size_t> Read(void* buffer, size_t size) override;
    platform::Outcome Write(const void* data, size_t size) override;
    platform::Result<uint64_t> Seek(int64_t offset, platform::SeekFrom from) override;
    platform::Result<uint64_t> Size() override;
    platform::Result<platform::FileTimes> Times() override;
    // A zero time leaves that time as it is, as on the system.
    platform::Outcome SetTimes(const platform::FileTimes& times) override;
    // From another file of the machine whose size is known, the host copies the bytes itself.
    platform::Transfer WriteFrom(platform::File& source, size_t size, void* buffer) override;

    // Ends the file at the current position (an .ini file rewritten shorter).
    platform::Outcome EndHere();

private:
    int fd_;
    std::string windows_path_;
    bool writable_;
    FileBooks books_;
    static constexpr uint64_t kUnknownSize = ~uint64_t{0};
    uint64_t position_ = 0;
    bool marked_changed_ = false;
    bool sole_writer_;
    // The file's size while no one else can write it: kUnknownSize until a look at the host.
    uint64_t known_size_;
};

// Converts a host time (seconds and nanoseconds since 1970) into the system's file time, and back.
platform::FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
void UnixFromFileTime(platform::FileTime time, int64_t& seconds, int64_t& nanoseconds);

}  // namespace rvx::sandbox
