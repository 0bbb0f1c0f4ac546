// The copy stage as a whole: disk groups, disk switches and prompts, the uninstall log's start,
// and the report of a file that failed.
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/files/copy_engine.h"
#include "installer/files/disk_space.h"
#include "installer/script/file_entry.h"
#include "installer/script/folder_operations.h"
#include "installer/script/variables.h"
#include "installer_pages.h"
#include "installer_strings.h"
#include "platform/dialog_description.h"

namespace rvx::installer {

using platform::Status;

namespace {

// In the disk-folder layout the stage moves to the next folder without asking; when the marker
// there stays wrong it asks for the disk after this many checks instead of trying for ever.
constexpr int kSilentDiskChecks = 3;

enum class DiskSwitch { ready, quit, fatal_stop };

// The disk prompt: true for OK; Cancel asks whether to quit, and No shows the prompt again.
// Nothing when the user quits.
std::optional<bool> PromptForDisk(InstallState& app, std::string_view id) {
    const std::string label = text::FormatMessage(app.script().disk_id, {id});
    namespace ids = dialogs::disk_prompt;
    platform::PageModel page = platform::ModelOf(app.platform().resources.Dialog(ids::kDescription));
    if (platform::Control* message = page.Find(ids::kMessage))
        message->text = text::InsertArguments(app.Text(kInsertDisk), {label, app.folders().source_drive});
    for (;;) {
        auto answer = app.platform().ui.ShowPage(page);
        if (!answer) {
            app.NotePageNotShown(page.dialog_id, answer.error());
            return std::nullopt;
        }
        if (answer.value() == ids::kOk) return true;
        if (app.ConfirmQuit(QuitQuestion::not_finished)) return std::nullopt;
    }
}

void ReplaceAfter(std::string& folder, std::string_view marker, char replacement) {
    const size_t at = folder.find(marker);
    if (at != std::string::npos && at + marker.size() < folder.size()) folder[at + marker.size()] = replacement;
}

DiskSwitch SwitchDisk(InstallState& app, std::string_view marker_line) {
    const std::string id(marker_line.substr(1));
    ProgressPage& progress = app.progress();
    progress.SetLine1("");
    progress.SetLine2("");
    const SourceLayout& layout = app.layout();
    for (int checks = 1; !CheckDiskMarker(app, id); ++checks) {
        if (!layout.disk_folder_layout || checks > kSilentDiskChecks) {
            if (!PromptForDisk(app, id)) return DiskSwitch::quit;
        }
        const char disk = id.empty() ? '\0' : id[0];
        if (layout.hard_disk_layout) ReplaceAfter(app.folders().source, "\\_DISK_", disk);
        if (layout.disk_folder_layout) ReplaceAfter(app.folders().source, "\\DISK", disk);
    }
    if (layout.removable || marker_line == "#1") {
        CopyState& copy = app.copy_state();
        copy.group_bytes_done = 0;
        ++copy.current_disk;
        if (SumGroupBytes(app).stopped()) return DiskSwitch::fatal_stop;
    }
    return DiskSwitch::ready;
}

// Shows what went wrong with the file that failed: the reason for a refused or full disk,
// else the message the file's code names.
void ReportFileFailure(InstallState& app, FileCopyResult result) {
    const std::string reason_header = text::FormatMessage(app.Text(kFileCannotBeCreatedReason), {app.copy_state().current_file});
    switch (ErrnoFor(app.copy_state().last_failure)) {
    case 13: app.Message(reason_header + app.Text(kNoRightToReplace)); return;
    case 28: app.Message(reason_header + app.Text(kDiskFullReason)); return;
    default:
        if (const auto message = MessageFor(result)) app.Message(app.Text(*message));
    }
}

Completion OpenUninstallLog(InstallState& app) {
    if (app.flags().patch || app.script().uninstall_file.empty()) return Completion::Done();
    const Expansion file_name = Expanded(app, app.script().uninstall_file);
    if (file_name.stopped()) return file_name.stop();
    const std::string name = SubstituteDisplayText(app.script(), *file_name);
    uninstall_log::UninstallLog& log = app.uninstall_log();
    // From its first line the log names the product and the folder, so that whatever stops the
    // installation, its replay finds the product's keys and the folder to clean.
    const uninstall_log::LogIdentity identity{SubstituteDisplayText(app.script(), app.script().product_name), app.folders().installation};
    // An update goes into the folder it found without the folder check, which would have made it.
    (void)CreateFolderPath(app.platform().files, path::RemoveTrailingBackslash(app.folders().installation));
    log.Open(name, path::AddTrailingBackslash(app.folders().installation), identity);
    // An empty default folder names nothing to remove.
    const Expansion folder = Expanded(app, app.folders().default_folder);
    if (folder.stopped()) return folder.stop();
    if (!folder->empty()) log.AddFolderToRemove(*folder);
    return Completion::Done();
}

}  // namespace

std::optional<StringId> MessageFor(FileCopyResult result) {
    switch (result) {
    case FileCopyResult::done:
    case FileCopyResult::failure_reported:
    case FileCopyResult::fatal_stop: return std::nullopt;
    case FileCopyResult::not_enough_memory: return kNotEnoughMemory;
    case FileCopyResult::cannot_be_read: return kFileCannotBeRead;
    case FileCopyResult::cannot_be_written: return kFileCannotBeWritten;
    }
    return std::nullopt;
}

std::optional<StringId> MessageFor(TempCopyResult result) {
    switch (result) {
    case TempCopyResult::done: return std::nullopt;
    case TempCopyResult::source_not_found: return kFileNotFound;
    case TempCopyResult::temp_cannot_be_created: return kTempFileCannotBeCreated;
    case TempCopyResult::cannot_be_read: return kFileCannotBeRead;
    }
    return std::nullopt;
}

int ErrnoFor(Status status) {
    switch (status) {
    case Status::ok: return 0;
    case Status::not_found:
    case Status::path_not_found: return 2;        // ENOENT
    case Status::access_denied:
    case Status::sharing_violation: return 13;    // EACCES: the runtime reports a file in use as a refusal
    case Status::disk_full: return 28;            // ENOSPC
    case Status::already_exists: return 17;       // EEXIST
    case Status::invalid_argument: return 22;     // EINVAL
    default: return 5;                            // EIO
    }
}

int CountDisks(const SourceLayout& layout, const TextList& files) {
    if (!layout.removable) return 1;
    int count = 0;
    int highest = -1;
    for (const std::string& line : files) {
        if (!IsDiskMarker(line)) continue;
        const int first = line.size() > 1 ? static_cast<unsigned char>(line[1]) : 0;
        if (first > highest) {
            ++count;
            highest = first;
        }
    }
    return count == 0 ? 1 : count;
}

bool CheckDiskMarker(InstallState& app, std::string_view id) {
    if (!app.layout().removable) return true;
    const std::string marker = app.folders().source + "DISK" + std::string(id);
    app.TraceText(text::FormatMessage("diskfile = %s\n", {marker}));
    auto file = app.platform().files.Open({marker, platform::Access::read, platform::share::read, platform::Disposition::open_existing});
    if (!file) return false;
    char bytes[50];
    auto got = file.value()->Read(bytes, sizeof bytes);
    const size_t count = got ? got.value() : 0;
    const std::string read(bytes, count);
    app.TraceText(text::FormatMessage("lgread = %d\n", {static_cast<long long>(count)}));
    app.TraceText(text::FormatMessage("read = <%s>\n", {read}));
    const std::string label = text::FormatMessage(app.script().disk_id, {id});
    app.TraceText(text::FormatMessage("sb = <%s>\n", {label}));
    return read == label;
}

CopyStageResult CopyFiles(InstallState& app) {
    CopyState& copy = app.copy_state();
    copy.current_disk = 0;
    copy.disk_count = CountDisks(app.layout(), app.script().files);
    const TextList& lines = app.script().files;
    const bool has_markers = std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return IsDiskMarker(line); });
    StoredFileNotes notes;
    if (!has_markers) {
        copy.current_disk = 1;
        if (SumGroupBytes(app, &notes).stopped()) return CopyStageResult::fatal_stop;
    }
    const OrStop<bool> space = EstimateSpace(app, &notes);
    if (space.stopped()) return CopyStageResult::fatal_stop;
    if (!*space) return CopyStageResult::stopped_before_copying;
    if (OpenUninstallLog(app).stopped()) return CopyStageResult::fatal_stop;
    if (app.uninstall_log().failed()) return CopyStageResult::log_failed;

    for (const std::string& line : lines) {
        if (line.empty()) continue;
        if (IsDiskMarker(line)) {
            switch (SwitchDisk(app, line)) {
            case DiskSwitch::ready: break;
            case DiskSwitch::quit: return CopyStageResult::user_quit;
            case DiskSwitch::fatal_stop: return CopyStageResult::fatal_stop;
            }
            continue;
        }
        app.TraceText("Transfer file: " + line + "\n");
        copy.last_failure = Status::ok;
        const FileCopyResult result = CopyOneFile(app, line);
        if (result == FileCopyResult::fatal_stop) return CopyStageResult::fatal_stop;
        // Nothing more is changed once a change could not be recorded.
        if (app.uninstall_log().failed()) return CopyStageResult::log_failed;
        if (result != FileCopyResult::done) {
            ReportFileFailure(app, result);
            return CopyStageResult::file_failed;
        }
    }
    app.progress().SetOverallBar(100);
    return CopyStageResult::done;
}

}  // namespace rvx::installer
