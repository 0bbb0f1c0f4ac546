// The file system as the installer sees it: Windows paths ("C:\Folder\File.txt", "\" as the
// separator, names compared ignoring case), files opened with Windows access and sharing
// rules, wildcard searches, attributes, file times, drives and their free space.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace rvx::platform {

// File attribute bits, with the values Windows gives them.
namespace attributes {
inline constexpr uint32_t read_only = 0x01;
inline constexpr uint32_t hidden = 0x02;
inline constexpr uint32_t system = 0x04;
inline constexpr uint32_t directory = 0x10;
inline constexpr uint32_t archive = 0x20;
inline constexpr uint32_t normal = 0x80;
}  // namespace attributes

// A point in time as Windows stores it: 100-nanosecond intervals since 1 January 1601 (UTC).
struct FileTime {
    uint64_t ticks = 0;
    auto operator<=>(const FileTime&) const = default;
};

struct FileTimes {
    FileTime creation;
    FileTime last_access;
    FileTime last_write;
};

enum class Access { read, write, read_write };

// Sharing bits: what other openers of the same file may still do.
namespace share {
inline constexpr uint32_t none = 0;
inline constexpr uint32_t read = 1;
inline constexpr uint32_t write = 2;
inline constexpr uint32_t remove = 4;
}  // namespace share

enum class Disposition {
    open_existing,  // fails when the file is missing
    create_always,  // creates or empties
    create_new,     // fails when the file exists
    open_always,    // opens or creates
};

struct OpenRequest {
    std::string path;
    Access access = Access::read;
    uint32_t sharing = share::read;
    Disposition disposition = Disposition::open_existing;
};

enum class SeekFrom { begin, current, end };

// What moving bytes from one open file to another did: how many it moved, or which side failed.
struct Transfer {
    size_t moved = 0;                  // 0 without an error: the source is at its end
    std::optional<Error> read_error;   // the source could not be read; nothing was written
    std::optional<Error> write_error;  // the bytes read could not all be written
};

// An open file. Closing happens when the object is destroyed.
class File {
public:
    virtual ~File() = default;
    // Reads up to size bytes; 0 means the end of the file.
    virtual Result<size_t> Read(void* buffer, size_t size) = 0;
    virtual Outcome Write(const void* data, size_t size) = 0;
    virtual Result<uint64_t> Seek(int64_t offset, SeekFrom from) = 0;
    virtual Result<uint64_t> Size() = 0;
    virtual Result<FileTimes> Times() = 0;
    virtual Outcome SetTimes(const FileTimes& times) = 0;
    // One Read of up to size bytes from source, through buffer (which holds size bytes), and one
    // Write of them here, both files' positions moving on. A file that can have the system move
    // the bytes itself does so, with the same result.
    virtual Transfer WriteFrom(File& source, size_t size, void* buffer);
};

// The second half of a transfer through a buffer: what a read into buffer gave (bytes or its
// failure), written on to output.
Transfer WriteWhatWasRead(File& output, const Result<size_t>& got, const void* buffer);

// One entry of a folder listing.
struct FoundEntry {
    std::string name;  // the entry's own name, without its folder
    uint32_t attributes = 0;
    uint64_t size = 0;
    FileTimes times;
    bool is_folder() const { return (attributes & attributes::directory) != 0; }
};

enum class DriveType { unknown, no_root, removable, fixed, remote, cdrom, ramdisk };

struct DiskSpace {
    uint64_t free_bytes = 0;   // free to the caller
    uint64_t total_bytes = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual Result<std::unique_ptr<File>> Open(const OpenRequest& request) = 0;

    // Lists the entries matching a pattern whose last component may hold "*" and "?"
    // ("C:\Prog\*.dll"); like the system's search it also lists "." and ".." of a folder.
    virtual Result<std::vector<FoundEntry>> FindFiles(std::string_view pattern) = 0;
    // The same listing for a walk that needs only each entry's name and attributes: its sizes and
    // times may be left 0 where finding them would cost more. By default the whole listing.
    virtual Result<std::vector<FoundEntry>> ListNames(std::string_view pattern) { return FindFiles(pattern); }

    // The attributes of a file or folder; not_found / path_not_found when it is missing.
    virtual Result<uint32_t> ReadAttributes(std::string_view path) = 0;
    virtual Outcome WriteAttributes(std::string_view path, uint32_t attributes) = 0;

    virtual Outcome MakeFolder(std::string_view path) = 0;        // one level; already_exists when present
    virtual Outcome RemoveFolder(std::string_view path) = 0;      // only an empty folder
    virtual Outcome RemoveFile(std::string_view path) = 0;
    virtual Outcome RenameFile(std::string_view from, std::string_view to) = 0;
    // Replaces (or, with an empty target, deletes) a file when the system next starts.
    virtual Outcome ScheduleMoveAtRestart(std::string_view from, std::string_view to) = 0;

    // Drive roots are given as "C:\".
    virtual std::vector<char> Drives() = 0;
    virtual DriveType DriveKind(std::string_view root) = 0;
    virtual Result<DiskSpace> FreeSpace(std::string_view root) = 0;

    // Sets key=value in [section] of an .ini file (WININIT.INI's [Rename] section among others).
    virtual Outcome WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                                  std::string_view value) = 0;

    virtual std::string CurrentFolder() = 0;
    virtual Outcome SetCurrentFolder(std::string_view path) = 0;
};

// Convenience: true when a file or folder exists at path.
bool Exists(FileSystem& files, std::string_view path);
bool IsFolder(FileSystem& files, std::string_view path);
// Reads a whole file; fails like Open and Read do.
Result<std::string> ReadWholeFile(FileSystem& files, std::string_view path);
// Creates or empties a file and writes text into it.
Outcome WriteWholeFile(FileSystem& files, std::string_view path, std::string_view text);

}  // namespace rvx::platform
