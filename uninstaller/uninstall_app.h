// UninstallApp: the uninstaller's one application object. It does its whole work in one run:
// finds and reads the uninstall log, asks once, replays the log under a progress window, reports
// the result or offers the files left behind, then hands its own deletion to a batch file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/app/application.h"
#include "common/uninstall_log/records.h"
#include "platform/platform.h"
#include "uninstaller/removal_bounds.h"
#include "uninstaller/removal_progress.h"
#include "uninstaller/uninstall_results.h"

namespace rvx::uninstaller {

// Beside the log: the shared files whose count this uninstallation has lowered already, one
// a line, so that a removal stopped and started again never lowers a count twice.
inline constexpr const char* kProgressSuffix = ".done";

// What one uninstallation gathers while it runs.
struct UninstallState {
    std::string log_path;         // as the command line gave it, or the log found
    std::vector<std::string> log_lines;
    std::string product_name;     // from the last R record, trimmed
    std::string title;            // the message boxes' title
    std::string current_folder;   // after the replay: the folder of the last F record
    std::string warning_text;     // the M record with its continuation lines
    bool warning_condition = false;
    std::array<bool, 10> selector_flags{};  // consulted by Y records; nothing ever sets them
    std::vector<std::string> removed_shared_files;
    std::vector<std::string> leftover_patterns;
    std::vector<std::string> leftover_pattern_folders;  // the folder of each pattern's record
    std::vector<std::string> leftover_files;
    // The log and the files beside it that belong to it (an unfinished installation's working
    // log, the progress file of an earlier run that was stopped); deleted at the very end.
    std::vector<std::string> log_files;
    std::string progress_path;
    std::vector<std::string> released_shared_files;  // by this run or an earlier, stopped one
    // Each deletion the bounds refused, with its record and the reason.
    std::vector<std::string> refusals;
    std::optional<std::string> temporary_folder;  // canonical
};

class UninstallApp : public app::Application {
public:
    explicit UninstallApp(platform::Platform& platform);

    bool InitInstance() override { return true; }
    int Run() override;

    // The start-up sequence through to the self-deleting batch file; the program's exit code.
    // Each stage returns its result; Uninstall alone shows what the results say.
    int Uninstall();
    // Rights, the log and its product record.
    StartResult Start();
    // The replay under the progress window, then the leftover files.
    RemovalResult Remove();
    // The only file matching "*.nvu" in the current folder; empty when there are none or several.
    std::string FindLogFile();
    // Fills the log lines; false for an empty path or a log that cannot be read. The working
    // log of an installation that went over this one and did not finish is read after it; a
    // log caught on its way into place is read in its stead.
    bool ReadLog(std::string_view path);
    // The last R record's text, trimmed; empty without one.
    std::string ProductNameFromLog() const;

    // The replay: services first, then every other record in file order.
    void ReplayLog();
    void DeleteLoggedFile(std::string_view path);
    void ReleaseSharedFile(std::string_view path);
    // ReleaseSharedFile, once per shared file over every run on the same log.
    void ReleaseSharedFileOnce(std::string_view path);
    void WalkFolder(std::string_view folder, bool collect);
    bool MatchLeftoverPattern(std::string_view path);
    void RemoveEmptyFolderTree(std::string_view folder);
    void DeleteKeyByLine(std::string_view line);
    platform::Outcome DeleteKeyTree(platform::RootKey root, std::string_view key);
    void RemoveProductKeys(std::string_view name);
    void SendProgramManagerCommand(std::string_view text);
    void EvaluateWarningCondition(std::string_view text);

    // The end: the leftover dialog, the optional warning, and the batch that deletes the program.
    // False when the leftover dialog could not be shown (nothing more is removed then).
    bool OfferLeftovers();
    bool ConfirmWarning();
    // Writes the batch (replacing any file of its name) and reads it back; false when the
    // batch on disk is not the text.
    bool WriteSelfDeleteBatch(const std::string& batch_path, const std::string& text);
    SelfDeleteResult StartSelfDelete();

    UninstallState& state() { return state_; }
    platform::Platform& platform() { return platform_; }

private:
    // Replays the record read from line index; returns the index of the last line it used.
    size_t ReplayRecord(size_t index, uninstall_log::Record record);
    bool IsRunningUninstaller(std::string_view path);
    // The log itself and its companions, which the replay leaves for the very end.
    bool IsLogFile(std::string_view path) const;
    // The bounds of this log's deletions: the protected folders and the product's own.
    void PrepareBounds();
    void Refuse(std::string_view code, std::string_view text, Refusal refusal);
    void WalkAllowedFolder(const std::string& canonical_folder, bool collect);
    void RemoveAllowedEmptyTree(const std::string& canonical_folder);
    // Deletes the log and its companions, the log last, once everything else is done.
    void DeleteLogFiles();
    void ShowStatus(std::string_view text);
    // The stage's message, if it has one, with argument for its "%1".
    void Show(const std::optional<StageMessage>& message, std::string_view argument);
    std::string Text(int id);

    platform::Platform& platform_;
    UninstallState state_;
    RemovalBounds bounds_;
    RemovalProgress progress_;
};

}  // namespace rvx::uninstaller
