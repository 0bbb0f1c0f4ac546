// UninstallApp: the uninstaller's one application object. It does its whole work in one run:
// finds and reads the uninstall log, asks once, replays the log under a progress window, reports
// the result or offers the files left behind, then hands its own deletion to a batch file.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/app/application.h"
#include "common/uninstall_log/records.h"
#include "platform/platform.h"
#include "uninstaller/removal_progress.h"

namespace rvx::uninstaller {

// What one uninstallation gathers while it runs.
struct UninstallState {
    std::vector<std::string> log_lines;
    std::string product_name;     // from the last R record, trimmed
    std::string title;            // the message boxes' title
    std::string current_folder;   // after the replay: the folder of the last F record
    std::string warning_text;     // the M record with its continuation lines
    bool warning_condition = false;
    std::array<bool, 10> selector_flags{};  // consulted by Y records; nothing ever sets them
    std::vector<std::string> removed_shared_files;
    std::vector<std::string> leftover_patterns;
    std::vector<std::string> leftover_files;
};

class UninstallApp : public app::Application {
public:
    explicit UninstallApp(platform::Platform& platform);

    bool InitInstance() override { return true; }
    int Run() override;

    // The start-up sequence through to the self-deleting batch file; the program's exit code.
    int Uninstall();
    // The only file matching "*.nvu" in the current folder; empty when there are none or several.
    std::string FindLogFile();
    // Fills the log lines; false for an empty path or a log that cannot be read.
    bool ReadLog(std::string_view path);
    // The last R record's text, trimmed; empty without one.
    std::string ProductNameFromLog() const;

    // The replay: services first, then every other record in file order.
    void ReplayLog();
    void DeleteLoggedFile(std::string_view path);
    void ReleaseSharedFile(std::string_view path);
    void WalkFolder(std::string_view folder, bool collect);
    bool MatchLeftoverPattern(std::string_view path);
    void RemoveEmptyFolderTree(std::string_view folder);
    void DeleteKeyByLine(std::string_view line);
    platform::Outcome DeleteKeyTree(platform::RootKey root, std::string_view key);
    void RemoveProductKeys(std::string_view name);
    void SendProgramManagerCommand(std::string_view text);
    void EvaluateWarningCondition(std::string_view text);

    // The end: the leftover dialog, the optional warning, and the batch that deletes the program.
    void OfferLeftovers();
    bool ConfirmWarning();
    void StartSelfDelete();

    UninstallState& state() { return state_; }
    platform::Platform& platform() { return platform_; }

private:
    // Replays the record read from line index; returns the index of the last line it used.
    size_t ReplayRecord(size_t index, uninstall_log::Record record);
    bool IsRunningUninstaller(std::string_view path);
    void ShowStatus(std::string_view text);
    std::string Text(int id);

    platform::Platform& platform_;
    UninstallState state_;
    RemovalProgress progress_;
};

}  // namespace rvx::uninstaller
