// Fuzz target: the installer's command line, as any program starting it may give it, on one
// simulated machine kept for the whole run (answer files on it, every message answered with
// its default button). The command line must be taken apart without fault, and an unattended
// run may only come from an answer file the line names.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "installer/core/install_app.h"
#include "tests/support/scratch_machine.h"

namespace {

// The machine's environment with the command line of the current input.
class GivenCommandLine : public rvx::platform::Environment {
public:
    explicit GivenCommandLine(rvx::platform::Environment& machine) : machine_(machine) {}
    rvx::platform::OsVersion Version() override { return machine_.Version(); }
    std::string WindowsFolder() override { return machine_.WindowsFolder(); }
    std::string SystemFolder() override { return machine_.SystemFolder(); }
    std::string TempFolder() override { return machine_.TempFolder(); }
    std::optional<std::string> Variable(std::string_view name) override { return machine_.Variable(name); }
    std::string ProgramPath() override { return machine_.ProgramPath(); }
    std::string CommandLine() override { return line; }
    std::string line;

private:
    rvx::platform::Environment& machine_;
};

struct Fixture {
    Fixture() : machine("rvx-command-line-fuzz", ""), environment(machine.platform().environment) {
        std::filesystem::create_directories(machine.DriveC("Setup"));
        std::ofstream(machine.DriveC("Setup/a.ANS")) << "installmode=1\ndstpath=C:\\Prog\nname=Jane\n";
        std::ofstream(machine.DriveC("Setup/b.ANS")) << "installmode=0\n[odd\n=\n";
    }
    rvx::test_support::ScratchMachine machine;
    GivenCommandLine environment;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    fixture.machine.StartRun();
    fixture.environment.line.assign(reinterpret_cast<const char*>(data), size);
    // A trace asked for with /DEBUG would grow without bound over the run.
    std::filesystem::remove(fixture.machine.DriveC("install.log"));
    rvx::platform::Platform& machine = fixture.machine.platform();
    rvx::platform::Platform platform{machine.files,   machine.registry, fixture.environment, machine.shell,
                                     machine.services, machine.processes, machine.power,     machine.fonts,
                                     machine.program_manager, machine.resources, machine.directx, machine.ui,
                                     machine.clock};
    rvx::installer::InstallApp app(platform);
    const bool started = app.ProcessCommandLine();
    // Quotes only group a token; they are not part of the file name.
    std::string unquoted = fixture.environment.line;
    std::erase(unquoted, '"');
    std::erase(unquoted, '\'');
    if (started && app.answers().unattended && unquoted.find(".ANS") == std::string::npos) __builtin_trap();
    return 0;
}
