// The uninstaller's start-up sequence: rights, the log, the question, the replay, the result.
#include "uninstaller/uninstall_app.h"

#include "common/app/dialogs.h"
#include "common/app/exit_codes.h"
#include "common/text/text.h"
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
    const std::string heading = Text(kRemovingHeading) + state_.product_name;

    switch (AskToUninstall(platform_.ui, state_.product_name)) {
    case Confirmation::yes: break;
    case Confirmation::no: return app::kExitCancelled;
    // Nothing is removed without the user's answer; a user interface without pages yet says so.
    case Confirmation::not_shown: return app::kExitNotAvailableYet;
    }

    progress_.Open(heading, state_.log_lines.size());
    ReplayLog();

    if (state_.leftover_files.empty()) {
        app::ShowMessage(platform_.ui, state_.title, text::InsertArguments(Text(kRemoved), {state_.product_name}),
                         platform::Buttons::ok, platform::Icon::information);
    } else {
        OfferLeftovers();
    }
    progress_.Close();
    StartSelfDelete();
    return app::kExitCompleted;
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
    auto lines = uninstall_log::ReadLogLines(platform_.files, path);
    if (!lines) return false;
    state_.log_lines = std::move(lines.value());
    return true;
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
