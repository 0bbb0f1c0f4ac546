// The free space of the simulated machine's drives while programs run: writes that make a file
// longer take from it, deletions and truncations give back, and a write that does not fit fails
// as the system's "disk full" before anything of it is written. Kept in memory (a copy of a
// large file takes from it once per write); the machine writes it to machine.ini when a
// program's session ends.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/result.h"

namespace rvx::sandbox {

class DriveSpace {
public:
    void Set(char drive, uint64_t free_bytes);
    uint64_t Free(char drive) const;
    // Takes bytes from the drive, or fails with disk_full (naming windows_path) and takes nothing.
    platform::Outcome Take(char drive, uint64_t bytes, std::string_view windows_path);
    void Give(char drive, uint64_t bytes);

private:
    static size_t Index(char drive);
    std::array<uint64_t, 26> free_{};
};

}  // namespace rvx::sandbox
