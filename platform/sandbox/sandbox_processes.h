// Programs and top-level windows on the simulated machine. Starting a program finds it as the
// system does (program_lookup.h) among the machine's files and journals it as a START line with
// its command line, current folder, show state and whether the starter waits for it; nothing
// runs, and a waited-for program ends at once with exit code 0. A command line whose program is
// not a file on the machine cannot be started (not_found), and is journaled as such. The
// top-level windows are those machine.ini lists; a command sent to one is journaled (WINDOW).
#pragma once

#include <string>

#include "platform/sandbox/journal.h"
#include "platform/sandbox/machine_config.h"
#include "platform/system_services.h"

namespace rvx::sandbox {

class SandboxFiles;

class SandboxProcesses : public platform::Processes {
public:
    // program_path is the Windows path of the program these services belong to.
    SandboxProcesses(const MachineConfig& config, SandboxFiles& files, Journal& journal, std::string program_path)
        : config_(config), files_(files), journal_(journal), program_path_(std::move(program_path)) {}
    platform::Outcome Start(const platform::StartRequest& request) override;
    platform::Result<uint32_t> StartAndWait(const platform::StartRequest& request,
                                            const std::function<void()>& keep_alive) override;
    platform::Outcome RunCommand(std::string_view command_line, platform::ShowState show) override;
    std::optional<platform::WindowRef> FindTopLevelWindow(std::string_view class_name, std::string_view title) override;
    platform::Outcome SendCommand(platform::WindowRef window, uint32_t command_id) override;
    // The full path of the program the command line starts, with the case of the names on disk.
    std::optional<std::string> FindProgram(std::string_view command_line);

private:
    platform::Outcome Launch(std::string_view command_line, std::string_view folder, platform::ShowState show, bool wait);
    std::optional<std::string> ProgramFile(std::string_view path);

    const MachineConfig& config_;
    SandboxFiles& files_;
    Journal& journal_;
    std::string program_path_;
};

}  // namespace rvx::sandbox
