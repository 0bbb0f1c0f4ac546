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

StartResult UninstallApp::Start() {
    state_.warning_condition = false;
    state_.selector_flags = {};
    if (!platform_.registry.CheckWritable(platform::RootKey::local_machine, "SOFTWARE")) return StartResult::no_rights;
    state_.title = Text(kTitle);
    state_.log_path = platform_.environment.CommandLine();
    if (state_.log_path.empty()) state_.log_path = FindLogFile();
    if (!ReadLog(state_.log_path)) return StartResult::log_not_found;
    state_.product_name = ProductNameFromLog();
    // Without its product record the log is cut short or not a log at all: what it would
    // remove cannot be trusted, and saying "removed" would be false.
    if (state_.product_name.empty()) return StartResult::log_damaged;
    return StartResult::ready;
}

RemovalResult UninstallApp::Remove() {
    progress_.Open(Text(kRemovingHeading) + state_.product_name, state_.log_lines.size());
    ReplayLog();
    if (state_.leftover_files.empty()) return RemovalResult::removed;
    return OfferLeftovers() ? RemovalResult::leftovers_offered : RemovalResult::leftovers_not_shown;
}

void UninstallApp::Show(const std::optional<StageMessage>& message, std::string_view argument) {
    if (!message) return;
    // The title is loaded after the rights check; a message before it uses the table's own.
    const std::string title = state_.title.empty() ? Text(kTitle) : state_.title;
    app::ShowMessage(platform_.ui, title, text::InsertArguments(Text(message->text), {std::string(argument)}),
                     platform::Buttons::ok, message->icon);
}

int UninstallApp::Uninstall() {
    const StartResult started = Start();
    Show(MessageFor(started), started == StartResult::log_damaged ? state_.log_path : std::string());
    if (const auto code = ExitCodeFor(started)) return *code;

    if (const auto code = ExitCodeFor(AskToUninstall(platform_.ui, state_.product_name))) return *code;

    const RemovalResult removed = Remove();
    Show(MessageFor(removed), state_.product_name);
    progress_.Close();
    const SelfDeleteResult self_deleted = StartSelfDelete();
    Show(MessageFor(self_deleted), platform_.environment.ProgramPath());
    return ExitCodeFor(removed);
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
