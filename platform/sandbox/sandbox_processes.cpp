// Starting programs and commanding windows on the simulated machine.
#include "platform/sandbox/sandbox_processes.h"

#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "platform/sandbox/program_lookup.h"
#include "platform/sandbox/sandbox_files.h"

namespace rvx::sandbox {

platform::Outcome SandboxProcesses::Start(const platform::StartRequest& request) {
    return Launch(request.command_line, request.folder, request.show, false);
}

platform::Result<uint32_t> SandboxProcesses::StartAndWait(const platform::StartRequest& request,
                                                          const std::function<void()>& keep_alive) {
    if (auto started = Launch(request.command_line, request.folder, request.show, true); !started) return started.error();
    // The program ends as soon as it starts: the starter waits through one round of its loop.
    if (keep_alive) keep_alive();
    return 0u;
}

platform::Outcome SandboxProcesses::RunCommand(std::string_view command_line, platform::ShowState show) {
    return Launch(command_line, "", show, false);
}

std::optional<std::string> SandboxProcesses::ProgramFile(std::string_view path) {
    auto location = files_.Locate(path);
    if (!location || !location->exists || platform::IsFolder(files_, path)) return std::nullopt;
    return location->path.Text();
}

std::optional<std::string> SandboxProcesses::FindProgram(std::string_view command_line) {
    std::string path_variable;
    for (const auto& [name, value] : config_.environment)
        if (text::EqualsIgnoreCase(name, "PATH")) path_variable = value;
    const auto folders = SearchFolders({path::FolderOf(program_path_), files_.CurrentFolder(), config_.system_folder,
                                        config_.windows_folder, path_variable});
    for (const auto& name : ProgramCandidates(command_line)) {
        if (NamesAFolder(name)) {
            if (auto found = ProgramFile(name)) return found;
            continue;
        }
        for (const auto& folder : folders)
            if (auto found = ProgramFile(path::Join(folder, name))) return found;
    }
    return std::nullopt;
}

platform::Outcome SandboxProcesses::Launch(std::string_view command_line, std::string_view folder, platform::ShowState show,
                                           bool wait) {
    std::vector<std::string> fields{Field("command", command_line),
                                    Field("folder", folder.empty() ? files_.CurrentFolder() : std::string(folder)),
                                    Word("show", ShowStateName(show)), Word("wait", wait ? "yes" : "no")};
    auto refuse = [&](platform::Status status, const char* result, std::string detail) -> platform::Outcome {
        fields.push_back(Word("result", result));
        (void)journal_.Write("START", fields);
        return platform::Fail(status, std::move(detail));
    };
    if (!folder.empty() && !platform::IsFolder(files_, folder))
        return refuse(platform::Status::path_not_found, "no-folder", "the folder " + std::string(folder) + " does not exist");
    const auto program = FindProgram(command_line);
    if (!program) return refuse(platform::Status::not_found, "not-found", "no program to start for " + std::string(command_line));
    fields.insert(fields.begin(), Field("program", *program));
    fields.push_back(Word("result", "ok"));
    (void)journal_.Write("START", fields);
    return {};
}

std::optional<platform::WindowRef> SandboxProcesses::FindTopLevelWindow(std::string_view class_name, std::string_view title) {
    // As the system compares them: class names ignoring case, titles exactly.
    for (size_t i = 0; i < config_.windows.size(); ++i) {
        const auto& window = config_.windows[i];
        if ((class_name.empty() || text::EqualsIgnoreCase(window.class_name, class_name)) && window.title == title)
            return platform::WindowRef{i + 1};
    }
    return std::nullopt;
}

platform::Outcome SandboxProcesses::SendCommand(platform::WindowRef window, uint32_t command_id) {
    if (window.id == 0 || window.id > config_.windows.size())
        return platform::Fail(platform::Status::not_found, "no such window");
    const auto& target = config_.windows[window.id - 1];
    return journal_.Write("WINDOW", {Field("class", target.class_name), Field("title", target.title),
                                     Word("command", std::to_string(command_id))});
}

}  // namespace rvx::sandbox
