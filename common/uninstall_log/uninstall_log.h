// The installer's side of the uninstall log: the records of everything the installation did,
// which the uninstaller replays.
//
// The log survives any stop. While the installation runs, the file on disk is a working log: it
// names the product first and ends with the installation folder and the folders to remove, and
// every record (and every file or folder about to be created) reaches it before the change it
// describes is made, so that an installation stopped at any point leaves a log whose replay
// removes what was installed. Only when the installation is complete is the finished log, with
// its records in the order the uninstaller has always read them, put in its place. An earlier
// installation's log stays untouched until then: the working log is built beside it
// (WorkingLogPath) and the uninstaller replays both.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/uninstall_log/records.h"
#include "platform/files.h"

namespace rvx::uninstall_log {

// Beside the log: the working log of an installation that went over an earlier one, and the
// finished log on its way into place.
std::string WorkingLogPath(std::string_view log_path);
std::string FinishedLogPath(std::string_view log_path);

// What the working log names from its first line on.
struct LogIdentity {
    std::string product;              // the R record's text
    std::string installation_folder;  // the F record's text
};

// When the log cannot be created or written, the log is failed: every later operation does
// nothing and failed() names the file, so that the installation can stop with a message.
class UninstallLog {
public:
    explicit UninstallLog(platform::FileSystem& files) : files_(files) {}
    // Leaves the working log as the log, as Abandon does.
    ~UninstallLog();
    UninstallLog(const UninstallLog&) = delete;
    UninstallLog& operator=(const UninstallLog&) = delete;

    // Starts the log at folder + name, with one "\" between them; a name holding a "\" anywhere
    // is the whole path, and a name alone with an empty folder is taken from the current folder.
    // The log's first record deletes the log itself. A log that is open already is abandoned
    // first.
    void Open(std::string_view name, std::string_view folder, const LogIdentity& identity = {});
    bool is_open() const { return file_ != nullptr; }
    // The path the last Open computed, whether or not the log could be created there.
    std::string path() const { return path_; }
    // True once the log could not be created or a record could not be written.
    bool failed() const { return failed_; }

    // Listed for a Z record, unless listed already (compared exactly, case included).
    void AddFolderToRemove(std::string_view folder);

    // D: folder followed by the part of name after its last "\" (the whole name when it holds
    // no "\" or when folder is empty). Folders are passed with their trailing "\".
    void RecordFile(std::string_view folder, std::string_view name);
    void RecordFilePath(std::string_view path);                     // D, the path as given
    void RecordSharedFile(std::string_view folder, std::string_view name);  // E, text as for D
    void RecordInstallFolder(std::string_view folder);              // F
    void RecordProduct(std::string_view name);                      // R
    void RecordRegistryKey(std::string_view line);                  // X
    void RecordCommand(std::string_view text);                      // P, the caller's brackets included
    // A, then B: sent only when an E record deletes `file`.
    void RecordConditionalCommand(std::string_view file, std::string_view command);
    // C, then M; the message's own lines become lines on disk.
    void RecordWarning(std::string_view condition, std::string_view message);
    void RecordService(std::string_view name);                      // G

    // Only in the working log, before the change is made: a file about to be created, and a
    // folder about to be created outside the installation folder (removed again when empty).
    // The finished log names them through the records above.
    void RecordFileToCreate(std::string_view path);
    // E, only in the working log, as soon as a shared file's count was raised.
    void RecordSharedCountRaised(std::string_view path);
    void RecordFolderToCreate(std::string_view folder);

    // The installation is complete: the finished log (the records in the order they were made,
    // then a Z record for each listed folder) replaces the working log and any earlier log.
    // Nothing once closed.
    void Close();
    // The installation stopped: the working log stays as the log.
    void Abandon();

private:
    // Appends the lines to the working log, in front of its closing lines, in one write.
    void WriteWorking(const std::string& lines);
    void Record(std::initializer_list<std::pair<RecordCode, std::string_view>> records);
    // The working log's closing lines: the F record and the Z records.
    std::string ClosingLines() const;
    void Fail();

    platform::FileSystem& files_;
    std::unique_ptr<platform::File> file_;
    std::string path_;
    std::string working_path_;
    LogIdentity identity_;
    bool failed_ = false;
    std::vector<std::string> finished_lines_;   // with their line ends
    std::set<std::string> working_lines_;       // the records the working log holds already
    std::vector<std::string> folders_to_remove_;
    std::vector<std::string> working_folders_;  // folders_to_remove_ and the folders to create
    uint64_t closing_offset_ = 0;               // where the working log's closing lines begin
};

}  // namespace rvx::uninstall_log
