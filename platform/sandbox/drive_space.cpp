// Free space of the simulated machine's drives, from what their folders hold.
#include "platform/sandbox/drive_space.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/text/text.h"
#include "platform/sandbox/host_errors.h"

namespace rvx::sandbox {

namespace fs = std::filesystem;

uint64_t BytesHeldBelow(const std::string& host_folder) {
    std::error_code error;
    uint64_t bytes = 0;
    if (host_folder.empty() || !fs::is_directory(host_folder, error)) return 0;
    for (fs::recursive_directory_iterator it(host_folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        std::error_code status_error;
        const fs::file_status status = it->symlink_status(status_error);
        if (status_error || !fs::is_regular_file(status)) continue;
        const uintmax_t size = it->file_size(status_error);
        if (!status_error) bytes += size;
    }
    return bytes;
}

size_t DriveSpace::Index(char drive) {
    const char letter = text::ToUpper(drive);
    return letter >= 'A' && letter <= 'Z' ? static_cast<size_t>(letter - 'A') : 0;
}

void DriveSpace::Set(char drive, uint64_t size_bytes, std::string host_folder) {
    drives_[Index(drive)] = Drive{size_bytes, std::move(host_folder), std::nullopt};
}

uint64_t DriveSpace::Size(char drive) const { return drives_[Index(drive)].size; }

uint64_t DriveSpace::Held(char drive) {
    Drive& entry = drives_[Index(drive)];
    if (!entry.held) entry.held = BytesHeldBelow(entry.host_folder);
    return *entry.held;
}

bool DriveSpace::Counted(char drive) const { return drives_[Index(drive)].held.has_value(); }

uint64_t DriveSpace::Free(char drive) {
    const uint64_t held = Held(drive);
    const uint64_t size = Size(drive);
    return held < size ? size - held : 0;
}

platform::Outcome DriveSpace::Take(char drive, uint64_t bytes, std::string_view windows_path) {
    // The same words the host gives for its own full disk.
    if (bytes > Free(drive)) return HostError(ENOSPC, windows_path);
    *drives_[Index(drive)].held += bytes;
    return {};
}

void DriveSpace::Give(char drive, uint64_t bytes) {
    Drive& entry = drives_[Index(drive)];
    if (!entry.held) return;  // counted afresh anyway
    // More given back than counted means the count was wrong: count again.
    if (bytes > *entry.held) entry.held.reset();
    else *entry.held -= bytes;
}

}  // namespace rvx::sandbox
