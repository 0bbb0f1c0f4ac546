// The installer's command-line step: answer file, trace switch, source folder and its layout.
#include "common/app/dialogs.h"
#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/install_app.h"
#include "installer/script/system_folders.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Every run of "\" after the first character collapses to one; the first character is left
// alone so that a command line may start with a network path.
std::string CollapseBackslashes(std::string_view command_line) {
    std::string out;
    for (size_t i = 0; i < command_line.size(); ++i) {
        if (i >= 2 && command_line[i] == '\\' && out.back() == '\\') continue;
        out += command_line[i];
    }
    return out;
}

}  // namespace

bool InstallApp::ProcessCommandLine() {
    answers_.unattended = false;
    const std::string raw = platform_.environment.CommandLine();
    for (const auto& token : text::SplitFields(raw, " ")) {
        if (!EndsWith(token, ".ANS")) continue;
        if (!ReadAnswerFile(token)) return false;
        break;
    }

    folders_.program_files = ProgramFilesFolder(platform_);
    folders_.windows_drive = RootDrive(platform_);

    const std::string command_line = text::ToUpper(CollapseBackslashes(raw));
    if (command_line.find("/DEBUG") != std::string::npos && trace_.Open(platform_.files, kTraceFilePath)) {
        app::ShowMessage(platform_.ui, command_line,
                         text::FormatMessage(Text(kDebugTraceNotice), {kTraceFilePath}),
                         platform::Buttons::ok, platform::Icon::none);
    }

    folders_.source = path::AddTrailingBackslash(text::ToUpper(path::FolderOf(platform_.environment.ProgramPath())));
    folders_.source_drive = folders_.source.substr(0, 1);

    if (folders_.source.find("\\_DISK_1\\") != std::string::npos) {
        TraceText("Debug sur disque dur\n");
        layout_.hard_disk_layout = true;
    } else {
        TraceText("Diskette\n");
    }
    layout_.disk_folder_layout = folders_.source.find("\\DISK1\\") != std::string::npos;
    const char drive = folders_.source.empty() ? '\0' : folders_.source[0];
    layout_.removable = drive == 'A' || drive == 'B' || drive == 'a' || drive == 'b' || layout_.hard_disk_layout ||
                        layout_.disk_folder_layout;
    return true;
}

}  // namespace rvx::installer
