// The copy stage: walks the script's file list, switches source disks at marker lines, expands
// each stored file (plain or compressed) to its destination and finishes it (attributes, times,
// example shortcut, shared count). The first file that fails ends the stage with a message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace rvx::installer {

class InstallState;

// Stage results of CopyFiles.
enum CopyStageResult : int {
    kCopyStoppedBeforeCopying = 0,  // not enough space, or a malformed [CREATEFILES] line
    kCopyDone = 1,
    kCopyUserQuit = 2,              // at a disk prompt
    kCopyFileFailed = 3,            // reported to the user
};

// Codes of CopyOneFile besides 0 (done or skipped by a rule) and the message ids 41000, 41003
// and 41004 (failed, not yet reported).
inline constexpr int kFileFailureReported = 1;

int CopyFiles(InstallState& app);
int CopyOneFile(InstallState& app, std::string_view line);

// Sets the number of disk groups of the file list.
void CountDisks(InstallState& app);
// True when the disk with the identifier is in place (always on a single-disk source).
bool CheckDiskMarker(InstallState& app, std::string_view id);

// Copies a stored file byte for byte (the compressed-form name first, then the plain name with
// last_char put back). 0, or 41001 (source missing) / 41033 (target cannot be created) with the
// name to show in failed_name. The source's size goes to *size when asked.
int CopyToTemp(InstallState& app, std::string source, const std::string& target, std::optional<char> last_char,
               std::string& failed_name, uint64_t* size = nullptr);

// Creates the zero-filled files of [CREATEFILES]; false when a line stopped it early.
bool CreatePreallocatedFiles(InstallState& app);

// The C runtime's error number that a failed file operation of the platform stands for.
int ErrnoFor(platform::Status status);

}  // namespace rvx::installer
