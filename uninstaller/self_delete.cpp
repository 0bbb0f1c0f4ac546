// Writing and starting the self-deleting batch file.
#include "uninstaller/self_delete.h"

#include "uninstaller/uninstall_app.h"

namespace rvx::uninstaller {

std::string SelfDeleteBatchText(std::string_view program_path, std::string_view batch_path) {
    const std::string program(program_path);
    const std::string folder = program.substr(0, program.rfind('\\') == std::string::npos ? 0 : program.rfind('\\'));
    return ":Repeat\r\ndel \"" + program + "\"\r\nif exist \"" + program + "\" goto Repeat\r\nrmdir \"" + folder +
           "\"\r\ndel \"" + std::string(batch_path) + "\"";
}

void UninstallApp::StartSelfDelete() {
    const std::string temp_folder = platform_.environment.TempFolder();
    const std::string batch_path = temp_folder + kSelfDeleteBatchName;
    const std::string program_path = platform_.environment.ProgramPath();
    auto batch = platform_.files.Open({batch_path, platform::Access::write, platform::share::none,
                                       platform::Disposition::create_always});
    if (!batch) return;
    const std::string text = SelfDeleteBatchText(program_path, batch_path);
    (void)batch.value()->Write(text.data(), text.size());
    batch.value().reset();
    // The batch works in the temporary folder: in the uninstaller's current folder, which is
    // often the program's own, the command interpreter would hold the folder it must remove.
    (void)platform_.shell.OpenDocument(batch_path, "", temp_folder, platform::ShowState::hidden);
}

}  // namespace rvx::uninstaller
