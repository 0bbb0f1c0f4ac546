// The uninstaller's start-up sequence: rights, the log, the question, the replay, the result.
#include "uninstaller/uninstall_app.h"

#include "common/app/dialogs.h"
#include "common/app/exit_codes.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "common/uninstall_log/uninstall_log.h"
#include "common/uninstall_log/log_reader.h"
#include "uninstaller/uninstall_pages.h"
#include "uninstaller_strings.h"

namespace rvx::uninstaller {

UninstallApp::UninstallApp(platform::Platform& platform) : platform_(platform), progress_(platform.ui) {}

int UninstallApp::Run() {
    const int code = Uninstall();
    ExitInstance();
    return code;
}

int UninstallApp::Uninstall() {
    state_.warning_condition = false;
    state_.selector_flags = {};

    if (!platform_.registry.CheckWritable(platform::RootKey::local_machine, "SOFTWARE")) {
        app::ShowMessage(platform_.ui, Text(kTitle), Text(kNeedAdminRights), platform::Buttons::ok,
                         platform::Icon::warning);
        return app::kExitCouldNotStart;
    }
    state_.title = Text(kTitle);

    std::string log_path = platform_.environment.CommandLine();
    if (log_path.empty()) log_path = FindLogFile();
    if (!ReadLog(log_path)) {
        app::ShowMessage(platform_.ui, state_.title, Text(kLogNotFound), platform::Buttons::ok, platform::Icon::warning);
        return app::kExitCouldNotStart;
    }
    state_.product_name = ProductNameFromLog();
    // Without its product record the log is cut short or not a log at all: what it would
    // remove cannot be trusted, and saying "removed" would be false.
    if (state_.product_name.empty()) {
        app::ShowMessage(platform_.ui, state_.title, text::InsertArguments(Text(kLogDamaged), {log_path}),
                         platform::Buttons::ok, platform::Icon::warning);
        return app::kExitCouldNotStart;
    }
    const std::string heading = Text(kRemovingHeading) + state_.product_name;

    switch (AskToUninstall(platform_.ui, state_.product_name)) {
    case Confirmation::yes: break;
    case Confirmation::no: return app::kExitCancelled;
    // Nothing is removed without the user's answer; a user interface without pages yet says so.
    case Confirmation::not_shown: return app::kExitNotAvailableYet;
    }

    progress_.Open(heading, state_.log_lines.size());
    ReplayLog();

    int code = app::kExitCompleted;
    if (state_.leftover_files.empty()) {
        app::ShowMessage(platform_.ui, state_.title, text::InsertArguments(Text(kRemoved), {state_.product_name}),
                         platform::Buttons::ok, platform::Icon::information);
    } else if (!OfferLeftovers()) {
        // The product is removed all the same; the code says that its last page was missing.
        code = app::kExitNotAvailableYet;
    }
    progress_.Close();
    StartSelfDelete();
    return code;
}

std::string UninstallApp::FindLogFile() {
    auto found = platform_.files.FindFiles("*.nvu");
    if (!found) return {};
    std::string only;
    int files = 0;
    for (const auto& entry : found.value()) {
        if (entry.is_folder()) continue;
        only = entry.name;
        ++files;
    }
    return files == 1 ? only : std::string();
}

bool UninstallApp::ReadLog(std::string_view path) {
    if (path.empty()) return false;
    const std::string finished = uninstall_log::FinishedLogPath(path);
    const std::string working = uninstall_log::WorkingLogPath(path);
    state_.log_files = {std::string(path), finished, working};
    state_.progress_path = std::string(path) + kProgressSuffix;
    auto lines = uninstall_log::ReadLogLines(platform_.files, path);
    // Between the removal of the old log and the move of the new one into its place.
    if (!lines && platform::Exists(platform_.files, finished)) lines = uninstall_log::ReadLogLines(platform_.files, finished);
    if (!lines) return false;
    state_.log_lines = std::move(lines.value());
    if (auto more = uninstall_log::ReadLogLines(platform_.files, working))
        state_.log_lines.insert(state_.log_lines.end(), more->begin(), more->end());
    if (auto done = uninstall_log::ReadLogLines(platform_.files, state_.progress_path)) state_.released_shared_files = done.value();
    return true;
}

bool UninstallApp::IsLogFile(std::string_view path) const {
    for (const auto& file : state_.log_files)
        if (text::EqualsIgnoreCase(file, path)) return true;
    return text::EqualsIgnoreCase(state_.progress_path, path);
}

void UninstallApp::DeleteLogFiles() {
    platform::FileSystem& files = platform_.files;
    if (state_.log_files.size() < 3) return;
    for (const std::string& path : {state_.progress_path, state_.log_files[2], state_.log_files[1], state_.log_files[0]}) {
        if (!platform::Exists(files, path)) continue;
        (void)files.WriteAttributes(path, platform::attributes::normal);
        (void)files.RemoveFile(path);
    }
    // The log kept its folder, the installation folder, from being removed by the walk.
    const std::string folder = state_.log_files[0].substr(0, state_.log_files[0].rfind('\\') + 1);
    if (!folder.empty() && !state_.current_folder.empty() &&
        text::EqualsIgnoreCase(path::RemoveTrailingBackslash(folder), path::RemoveTrailingBackslash(state_.current_folder)))
        (void)files.RemoveFolder(path::RemoveTrailingBackslash(folder));
}

std::string UninstallApp::ProductNameFromLog() const {
    std::string name;
    for (const auto& line : state_.log_lines)
        if (line.starts_with(".R")) name = std::string(text::TrimBlanks(std::string_view(line).substr(2)));
    return name;
}

bool UninstallApp::IsRunningUninstaller(std::string_view path) {
    return text::EqualsIgnoreCase(path, platform_.environment.ProgramPath());
}

void UninstallApp::ShowStatus(std::string_view text) { progress_.SetStatus(text); }

std::string UninstallApp::Text(int id) { return app::LoadText(platform_.resources, id); }

}  // namespace rvx::uninstaller
