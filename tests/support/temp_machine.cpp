// A simulated machine in a temporary folder for one test.
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace rvx::test_support {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

fs::path MakeTempFolder(const std::string& prefix) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (;;) {
        fs::path candidate = fs::temp_directory_path() /
                             (prefix + "-" + std::to_string(random()) + "-" + std::to_string(counter++));
        std::error_code error;
        if (fs::create_directory(candidate, error)) return candidate;
    }
}

TempMachine::TempMachine(const sandbox::MachineConfig& config) {
    folder_ = MakeTempFolder("rvx-machine");
    fs::path machine_folder = folder_ / "machine";
    auto created = sandbox::Machine::Create(machine_folder.string(), config);
    if (!created) ADD_FAILURE() << created.error().Describe();
    auto opened = sandbox::Machine::Open(machine_folder.string());
    if (!opened) {
        ADD_FAILURE() << opened.error().Describe();
        return;
    }
    machine_ = std::move(opened.value());
}

TempMachine::~TempMachine() {
    session_.reset();
    machine_.reset();
    std::error_code error;
    fs::remove_all(folder_, error);
}

void TempMachine::Reopen() {
    session_.reset();
    machine_.reset();
    auto opened = sandbox::Machine::Open((folder_ / "machine").string());
    if (!opened) {
        ADD_FAILURE() << opened.error().Describe();
        return;
    }
    machine_ = std::move(opened.value());
}

fs::path TempMachine::HostPath(const std::string& windows_path) const {
    fs::path host = folder_ / "machine" / "drives" / std::string(1, static_cast<char>(std::toupper(windows_path[0])));
    std::stringstream rest(windows_path.substr(3));
    std::string component;
    while (std::getline(rest, component, '\\'))
        if (!component.empty()) host /= component;
    return host;
}

void TempMachine::PutFile(const std::string& windows_path, const std::string& content) const {
    fs::path host = HostPath(windows_path);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << content;
}

std::string TempMachine::ReadFile(const std::string& windows_path) const { return Slurp(HostPath(windows_path)); }

platform::Platform& TempMachine::Start(const std::string& program_path, const std::string& command_line,
                                       const std::string& answer_script, std::span<const text::StringEntry> strings) {
    auto parsed = sandbox::ScriptedResponder::Parse(answer_script, "answers");
    if (!parsed) {
        ADD_FAILURE() << parsed.error().Describe();
        parsed = sandbox::ScriptedResponder::Parse("", "answers");
    }
    responder_ = std::make_unique<sandbox::ScriptedResponder>(std::move(parsed.value()));
    session_.reset();
    session_ = std::make_unique<sandbox::ProgramSession>(*machine_, sandbox::ProgramStart{program_path, command_line, "", strings},
                                                         *responder_);
    return session_->platform();
}

std::vector<std::string> TempMachine::JournalLines() const {
    // Read while the program may still run: lines let wait are part of what it journaled.
    if (machine_) (void)machine_->journal().Flush();
    std::ifstream in(folder_ / "machine" / "journal.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> TempMachine::JournalLines(const std::string& kind) const {
    std::vector<std::string> matching;
    for (auto& line : JournalLines())
        if (line.rfind(kind + " ", 0) == 0 || line == kind) matching.push_back(line);
    return matching;
}

int RunHostProgram(const std::string& program, const std::string& arguments, const std::filesystem::path& scratch_folder,
                   std::string& output) {
    const std::filesystem::path out = scratch_folder / "host-program-out.txt";
    const std::filesystem::path code = scratch_folder / "host-program-code.txt";
    const std::string command = "'" + program + "' " + arguments + " >'" + out.string() + "' 2>&1; echo $? >'" +
                                code.string() + "'";
    if (std::system(command.c_str()) != 0) return -1;
    output = Slurp(out);
    // The shell writes the program's exit code, so no host call is needed to decode it.
    const std::string text = Slurp(code);
    return text.empty() ? -1 : std::stoi(text);
}

}  // namespace rvx::test_support
