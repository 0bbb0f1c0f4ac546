// The free space of the simulated machine's drives: each drive's size (machine.ini) less the
// bytes of the files its host folder holds. Nothing of it is stored, so a program that was
// killed midway, or files put on a drive between runs, can never leave it wrong: the bytes held
// are counted from the folder when first asked in a run, and from then on each change through
// the machine's files adds or takes exactly what it measured on the host file (the growth of
// a write, the size of a file deleted, emptied or moved to another drive). A write that does
// not fit fails as the system's "disk full" before anything of it is written.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace rvx::sandbox {

class DriveSpace {
public:
    // The drive's size in bytes and the host folder that holds its files.
    void Set(char drive, uint64_t size_bytes, std::string host_folder);
    uint64_t Size(char drive) const;
    // The size less what the folder holds; 0 when it holds more.
    uint64_t Free(char drive);
    // What the drive's folder holds: counted at the first question, then kept up to date.
    uint64_t Held(char drive);
    // Whether the drive's bytes are counted, so that a change must say how many bytes it moves.
    bool Counted(char drive) const;

    // A write about to make a file longer by bytes: takes them, or fails with disk_full (naming
    // windows_path) and takes nothing.
    platform::Outcome Take(char drive, uint64_t bytes, std::string_view windows_path);
    // Bytes that left the drive: a file deleted, emptied, cut shorter or moved away, or a write
    // that grew a file by less than it took.
    void Give(char drive, uint64_t bytes);

private:
    struct Drive {
        uint64_t size = 0;
        std::string host_folder;
        std::optional<uint64_t> held;  // nothing: to be counted
    };
    static size_t Index(char drive);
    std::array<Drive, 26> drives_{};
};

// The bytes of every file below the host folder (links are not followed).
uint64_t BytesHeldBelow(const std::string& host_folder);

}  // namespace rvx::sandbox
