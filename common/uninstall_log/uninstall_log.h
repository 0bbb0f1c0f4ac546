// The installer's side of the uninstall log: the records of everything the installation did,
// which the uninstaller replays in reverse. Each record reaches the file the moment it is
// made, so an installation stopped at any point still leaves a log that undoes what was done.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/uninstall_log/records.h"
#include "platform/files.h"

namespace rvx::uninstall_log {

// When the log cannot be created, every operation does nothing and nothing is reported: the
// installation goes on without a log. Failed writes are passed over alike.
class UninstallLog {
public:
    explicit UninstallLog(platform::FileSystem& files) : files_(files) {}
    // Closes the log as Close does, so that a stopped installation still records its folders.
    ~UninstallLog();
    UninstallLog(const UninstallLog&) = delete;
    UninstallLog& operator=(const UninstallLog&) = delete;

    // Creates the log, replacing any old one (even a read-only one), at folder + name, with one
    // "\" between them; a name holding a "\" anywhere is the whole path, and a name alone with
    // an empty folder is taken from the current folder. The log's first record deletes the log
    // itself. A log that is open already is closed first.
    void Open(std::string_view name, std::string_view folder);
    bool is_open() const { return file_ != nullptr; }
    // The path the last Open computed, whether or not the log could be created there.
    std::string path() const { return path_; }

    // Listed for a Z record at Close, unless listed already (compared exactly, case included).
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

    // Writes a Z record for each listed folder, in the order they were listed, and closes the
    // file. Nothing once closed.
    void Close();

private:
    // Writes the given records, each with its line end, in a single write.
    void Write(std::initializer_list<std::pair<RecordCode, std::string_view>> records);

    platform::FileSystem& files_;
    std::unique_ptr<platform::File> file_;
    std::string path_;
    std::vector<std::string> folders_to_remove_;
};

}  // namespace rvx::uninstall_log
