// A throw-away simulated machine for benchmarks and fuzz targets: a fresh default machine in a
// temporary folder with the installer started from C:\Setup, every message answered with its
// default button. Tests use TempMachine instead, which reports through the test framework.
#pragma once

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "platform/sandbox/console_responder.h"
#include "platform/sandbox/machine.h"

namespace rvx::test_support {

class ScratchMachine {
public:
    // prefix names the temporary folder; command_line is the installer's.
    ScratchMachine(const std::string& prefix, const std::string& command_line);
    ~ScratchMachine();
    ScratchMachine(const ScratchMachine&) = delete;
    ScratchMachine& operator=(const ScratchMachine&) = delete;

    platform::Platform& platform() { return session_->platform(); }
    // The host path of a file on drive C: ("Setup/Install.ini").
    std::filesystem::path DriveC(const std::string& relative) const { return folder_ / "drives" / "C" / relative; }
    // Empties the journal and the screen, which grow with every message shown.
    void ForgetOutput();
    // Called at the start of each fuzz run: every 512 runs the output so far is forgotten, so
    // that a long run does not grow without bound.
    void StartRun() {
        if (++runs_ % 512 == 0) ForgetOutput();
    }

private:
    std::filesystem::path folder_;
    std::istringstream no_input_;
    std::ostringstream screen_;
    sandbox::ConsoleResponder responder_{no_input_, screen_};
    std::unique_ptr<sandbox::Machine> machine_;
    std::unique_ptr<sandbox::ProgramSession> session_;
    unsigned runs_ = 0;
};

}  // namespace rvx::test_support
