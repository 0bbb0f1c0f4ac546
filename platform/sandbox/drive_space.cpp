// Free space of the simulated machine's drives.
#include "platform/sandbox/drive_space.h"

#include <cerrno>
#include <limits>

#include "common/text/text.h"
#include "platform/sandbox/host_errors.h"

namespace rvx::sandbox {

size_t DriveSpace::Index(char drive) {
    const char letter = text::ToUpper(drive);
    return letter >= 'A' && letter <= 'Z' ? static_cast<size_t>(letter - 'A') : 0;
}

void DriveSpace::Set(char drive, uint64_t free_bytes) { free_[Index(drive)] = free_bytes; }

uint64_t DriveSpace::Free(char drive) const { return free_[Index(drive)]; }

platform::Outcome DriveSpace::Take(char drive, uint64_t bytes, std::string_view windows_path) {
    uint64_t& free = free_[Index(drive)];
    // The same words the host gives for its own full disk.
    if (bytes > free) return HostError(ENOSPC, windows_path);
    free -= bytes;
    return {};
}

void DriveSpace::Give(char drive, uint64_t bytes) {
    uint64_t& free = free_[Index(drive)];
    free = bytes > std::numeric_limits<uint64_t>::max() - free ? std::numeric_limits<uint64_t>::max() : free + bytes;
}

}  // namespace rvx::sandbox
