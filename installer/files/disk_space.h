// Disk space: the installation-folder check the wizard runs, the estimate at the start of the
// copy stage, the byte total of a disk group for the progress bars, the free-space query and
// the text of a size. Byte counts are 64-bit, so that large installations cannot wrap round
// and slip through the checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "installer/script/expansion.h"
#include "platform/platform.h"

namespace rvx::installer {

class InstallState;
struct Folders;

// Checks (and creates when missing) the folder the user chose. True with the folder ending in
// "\" when the installation may go there; false after telling the user why not; the stop for
// an undefined variable in [WARNDIRCOND].
OrStop<bool> CheckInstallFolder(InstallState& app, std::string& folder);

// What the byte total learnt of each file line's stored file, by the line's index in [FILES]:
// the size of the temporary copy it needs, or kNotOpened. On a medium of one disk the space
// estimate follows the total at once and opens no stored file the total has opened.
struct StoredFileNotes {
    static constexpr int64_t kNotOpened = -1;
    std::vector<int64_t> temporary_copy_sizes;
};

// The space estimate that opens the copy stage; false when the stage must end (result 0); the
// stop for an undefined variable in a file line.
OrStop<bool> EstimateSpace(InstallState& app, const StoredFileNotes* notes = nullptr);

// The expanded byte total of the current disk group, for the overall progress bar; notes, when
// given, receive what it learnt of the stored files.
Completion SumGroupBytes(InstallState& app, StoredFileNotes* notes = nullptr);

// Free kilobytes (of 1,024 bytes) on the drive with the root "X:\"; at most 2,147,483,647;
// kDriveUnreadable when the drive cannot be queried.
inline constexpr uint32_t kDriveUnreadable = 0xFFFFFFFF;
uint32_t GetFreeKilobytes(platform::FileSystem& files, const std::string& root);

// "1023 bytes", "1.5 Kb", "12.3 Mb", "2.0 Gb": the decimal is cut, never rounded up. The unit
// texts come from the string table entries given.
std::string FormatSize(platform::Resources& resources, uint64_t bytes, int id_gb, int id_mb, int id_kb, int id_bytes);

// The space check shared by the copy stage and the network transfer: needs total bytes plus a
// quarter on the installation drive; false after the message when they do not fit.
bool CheckSpaceForTotal(platform::Platform& platform, const Folders& folders, int64_t total);
// The same on the drive with the root "X:\".
bool CheckSpaceOnDrive(platform::Platform& platform, const std::string& root, int64_t total);

}  // namespace rvx::installer
