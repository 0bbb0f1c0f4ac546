// Fuzz target: the uninstaller's replay of an arbitrary uninstall log, on a simulated machine
// kept for the whole run, with a fresh in-memory registry per input so that runs stay
// independent. A small installation is put back before each run, since the replay deletes it.
// Whatever the log holds, the replay must end, and the walk must never reach over a drive.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/text/text.h"
#include "common/uninstall_log/log_reader.h"
#include "platform/sandbox/sandbox_registry.h"
#include "tests/support/scratch_machine.h"
#include "uninstaller/uninstall_app.h"

namespace {

struct Fixture {
    Fixture() : machine("rvx-log-replay-fuzz", "") {}
    void PutInstallation() {
        std::filesystem::create_directories(machine.DriveC("Prog/Sub"));
        std::ofstream(machine.DriveC("Prog/app.exe")) << "program";
        std::ofstream(machine.DriveC("Prog/Sub/data.tmp")) << "data";
        std::ofstream(machine.DriveC("Outside.txt")) << "not the installation's";
    }
    rvx::test_support::ScratchMachine machine;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    fixture.machine.StartRun();
    fixture.PutInstallation();
    auto created = rvx::sandbox::SandboxRegistry::CreateEmpty("/nonexistent/registry.reg",
                                                             rvx::sandbox::SandboxRegistry::Saving::on_flush);
    if (!created) __builtin_trap();
    rvx::platform::Platform& machine = fixture.machine.platform();
    rvx::platform::Platform platform{machine.files,   *created.value(), machine.environment, machine.shell,
                                     machine.services, machine.processes, machine.power,     machine.fonts,
                                     machine.program_manager, machine.resources, machine.directx, machine.ui,
                                     machine.clock};
    rvx::uninstaller::UninstallApp app(platform);
    app.state().log_lines =
        rvx::uninstall_log::SplitLogLines(std::string_view(reinterpret_cast<const char*>(data), size));
    app.ReplayLog();
    // Leftovers can only come from walks of folders the log named, never of a whole drive: the
    // file at the root of C: is never among them.
    for (const auto& file : app.state().leftover_files)
        if (rvx::text::EqualsIgnoreCase(file, "C:\\Outside.txt")) __builtin_trap();
    return 0;
}
