// A fresh simulated machine in a temporary folder for one test, with helpers to put files on
// its drives, start a program on it with an answer script, and read its journal.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/sandbox/machine.h"
#include "platform/sandbox/scripted_responder.h"

namespace rvx::test_support {

class TempMachine {
public:
    // Creates the machine from the given description (the default machine when none).
    explicit TempMachine(const sandbox::MachineConfig& config = sandbox::MachineConfig::Default());
    ~TempMachine();
    TempMachine(const TempMachine&) = delete;
    TempMachine& operator=(const TempMachine&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    sandbox::Machine& machine() { return *machine_; }
    // Ends the running program and closes the machine (which saves what it keeps in memory),
    // then opens it again as the next program run would.
    void Reopen();

    // The host path of a Windows path on one of the machine's own drives ("C:\X\y.txt").
    std::filesystem::path HostPath(const std::string& windows_path) const;
    void PutFile(const std::string& windows_path, const std::string& content) const;
    std::string ReadFile(const std::string& windows_path) const;

    // Starts a program: its Windows path and command line, answered from answer_script.
    platform::Platform& Start(const std::string& program_path, const std::string& command_line,
                              const std::string& answer_script = "",
                              std::span<const text::StringEntry> strings = {});
    sandbox::ScriptedResponder& responder() { return *responder_; }

    std::vector<std::string> JournalLines() const;
    // Journal lines that start with kind (for example "MESSAGE").
    std::vector<std::string> JournalLines(const std::string& kind) const;

private:
    std::filesystem::path folder_;
    std::unique_ptr<sandbox::Machine> machine_;
    std::unique_ptr<sandbox::ScriptedResponder> responder_;
    std::unique_ptr<sandbox::ProgramSession> session_;
};

// The whole content of a host file (empty when it cannot be read).
std::string Slurp(const std::filesystem::path& path);

// Runs a host program through the shell with its output going into a file in scratch_folder;
// returns its exit code as the shell reports it (-1 when it could not be run), its output in
// output.
int RunHostProgram(const std::string& program, const std::string& arguments, const std::filesystem::path& scratch_folder,
                   std::string& output);

// A new, empty temporary folder (removed by the caller).
std::filesystem::path MakeTempFolder(const std::string& prefix);

}  // namespace rvx::test_support
