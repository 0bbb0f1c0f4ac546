// Writing and starting the self-deleting batch file.
#include "uninstaller/self_delete.h"

#include "common/text/text.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller_strings.h"

namespace rvx::uninstaller {

namespace {

// The command interpreter reads "%" as the start of a variable even inside quotes; "%%"
// stands for the character itself.
std::string EscapedForBatch(std::string_view path) {
    std::string escaped;
    for (const char c : path) {
        escaped += c;
        if (c == '%') escaped += '%';
    }
    return escaped;
}

}  // namespace

std::string SelfDeleteBatchText(std::string_view program_path, std::string_view batch_path) {
    const std::string program(program_path);
    const std::string folder = EscapedForBatch(program.substr(0, program.rfind('\\') == std::string::npos ? 0 : program.rfind('\\')));
    const std::string quoted_program = "\"" + EscapedForBatch(program) + "\"";
    return ":Repeat\r\ndel " + quoted_program + "\r\nif exist " + quoted_program + " goto Repeat\r\nrmdir \"" + folder +
           "\"\r\ndel \"" + EscapedForBatch(batch_path) + "\"";
}

bool UninstallApp::WriteSelfDeleteBatch(const std::string& batch_path, const std::string& text) {
    platform::FileSystem& files = platform_.files;
    // A file left there (read-only, or planted) is removed first: the batch must be this one.
    if (platform::Exists(files, batch_path)) {
        (void)files.WriteAttributes(batch_path, platform::attributes::normal);
        if (!files.RemoveFile(batch_path)) return false;
    }
    if (!platform::WriteWholeFile(files, batch_path, text)) return false;
    auto written = platform::ReadWholeFile(files, batch_path);
    return written && written.value() == text;
}

SelfDeleteResult UninstallApp::StartSelfDelete() {
    const std::string temp_folder = platform_.environment.TempFolder();
    const std::string batch_path = temp_folder + kSelfDeleteBatchName;
    const std::string program_path = platform_.environment.ProgramPath();
    const std::string text = SelfDeleteBatchText(program_path, batch_path);
    // The batch works in the temporary folder: in the uninstaller's current folder, which is
    // often the program's own, the command interpreter would hold the folder it must remove.
    const bool written = WriteSelfDeleteBatch(batch_path, text);
    // Only now, with everything else done: a removal stopped before this point can be started
    // again on the same log.
    DeleteLogFiles();
    if (written && platform_.shell.OpenDocument(batch_path, "", temp_folder, platform::ShowState::hidden))
        return SelfDeleteResult::batch_started;
    // Without its batch the program and its folder go when the system next starts.
    const std::string folder = program_path.substr(0, program_path.rfind('\\') == std::string::npos ? 0 : program_path.rfind('\\'));
    const bool scheduled = platform_.files.ScheduleMoveAtRestart(program_path, "").ok() &&
                           (folder.empty() || platform_.files.ScheduleMoveAtRestart(folder, "").ok());
    return scheduled ? SelfDeleteResult::scheduled_at_restart : SelfDeleteResult::not_removed;
}

}  // namespace rvx::uninstaller
