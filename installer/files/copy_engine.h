// The copy stage: walks the script's file list, switches source disks at marker lines, expands
// each stored file (plain or compressed) to its destination and finishes it (attributes, times,
// example shortcut, shared count). The first file that fails ends the stage with a message.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "installer/core/state/install_state.h"
#include "installer/files/szdd_reader.h"
#include "installer_strings.h"
#include "platform/files.h"
#include "platform/result.h"

namespace rvx::installer {

// How the copy stage ended.
enum class CopyStageResult {
    stopped_before_copying,  // not enough space, or a malformed [CREATEFILES] line
    done,
    user_quit,               // at a disk prompt
    file_failed,             // reported to the user
    log_failed,              // the uninstall log could not be written; not reported yet
    fatal_stop,              // an undefined variable in a line the stage expanded
};

// How copying one file line ended.
enum class FileCopyResult {
    done,               // copied, or skipped by a replacement rule
    failure_reported,   // failed, and the failure was shown where it happened
    not_enough_memory,  // failed, not yet reported
    cannot_be_read,     // failed, not yet reported
    cannot_be_written,  // failed, not yet reported
    fatal_stop,         // an undefined variable in the line or the examples folder
};

// How the temporary copy of a stored file ended.
enum class TempCopyResult { done, source_not_found, temp_cannot_be_created, cannot_be_read };

// The installer's messages for these results (installer_strings.def); nothing for a result that
// has nothing more to show.
std::optional<StringId> MessageFor(FileCopyResult result);
std::optional<StringId> MessageFor(TempCopyResult result);

CopyStageResult CopyFiles(InstallState& app);
FileCopyResult CopyOneFile(InstallState& app, std::string_view line);

// The number of disk groups of the file list: 1 unless the source is removable, else the number
// of markers that raise the highest disk number seen so far (at least 1).
int CountDisks(const SourceLayout& layout, const TextList& files);
// True when the disk with the identifier is in place (always on a single-disk source).
bool CheckDiskMarker(InstallState& app, std::string_view id);

// Copies a stored file byte for byte (the compressed-form name first, then the plain name with
// last_char put back). A missing source or a target that cannot be created puts the name to
// show in failed_name, and every failure its reason in the copy state. The file bar follows the
// copy. The source's size goes to *size when asked.
TempCopyResult CopyToTemp(platform::FileSystem& files, ProgressPage& progress, CopyState& copy, std::string source,
                          const std::string& target, std::optional<char> last_char, std::string& failed_name,
                          uint64_t* size = nullptr);
// A whole temporary copy, still open for reading from its start, and its first bytes as they were
// written, so that its expansion need neither open it again nor read its header.
struct KeptTempCopy {
    std::unique_ptr<platform::File> file;
    std::array<uint8_t, ExpandingReader::kHeaderSize> start{};
    size_t start_size = 0;  // less than the header only for a shorter file

    std::span<const uint8_t> Start() const { return {start.data(), start_size}; }
};
// The same copy from a stored file already open, of source_size bytes; with kept, the copy stays
// open there.
TempCopyResult CopyOpenFileToTemp(platform::FileSystem& files, ProgressPage& progress, CopyState& copy, platform::File& source,
                                  uint64_t source_size, const std::string& target, std::string& failed_name,
                                  KeptTempCopy* kept = nullptr);

// Creates the zero-filled files of [CREATEFILES]; false when a line stopped it early.
bool CreatePreallocatedFiles(InstallState& app);

// The temporary-copy route: every file, unless its stored name is an 8.3 name and it is large
// enough to be expanded straight from the medium.
bool TakesTemporaryRoute(std::string_view compressed_name, uint64_t stored_size);
// Where the temporary copies go: the TMP folder, or "C:\" when that is not set or not a
// folder; with a final "\".
std::string TemporaryFolder(platform::Environment& environment, platform::FileSystem& files);
// The stored form of a file line, open for reading: the compressed name when it is there, else
// the plain name; no file when neither opens. The copy keeps it open for its temporary copy,
// which then reads the file it measured.
struct StoredFile {
    std::unique_ptr<platform::File> file;
    uint64_t size = 0;
    bool plain = false;  // the plain name: the compressed one is not there
};
StoredFile OpenStoredFile(platform::FileSystem& files, const std::string& compressed, const std::string& plain);

// The C runtime's error number that a failed file operation of the platform stands for.
int ErrnoFor(platform::Status status);

}  // namespace rvx::installer
