// Fuzz target: the uninstaller's replay of an arbitrary uninstall log, on a simulated machine
// kept for the whole run, with a fresh in-memory registry per input so that runs stay
// independent. A small installation is put back before each run, since the replay deletes it.
// Whatever the log holds, the replay must end and stay within its bounds: no file outside the
// product's folders, no registry root, system key or the maker's key is removed.
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
        std::ofstream(machine.DriveC("WINDOWS/win.ini")) << "[windows]";
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
    using rvx::platform::RootKey;
    struct Kept {
        RootKey root;
        const char* key;
    };
    static constexpr Kept kKept[] = {{RootKey::local_machine, "SOFTWARE"},
                                     {RootKey::local_machine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
                                     {RootKey::local_machine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"},
                                     {RootKey::local_machine, "SYSTEM\\CurrentControlSet\\Services\\Other"},
                                     {RootKey::local_machine, "Software\\Norvane"},
                                     {RootKey::current_user, "Software\\Norvane"},
                                     {RootKey::local_machine, "Software\\Classes\\.txt"}};
    for (const auto& kept : kKept)
        (void)created.value()->WriteValue(kept.root, kept.key, "kept", rvx::platform::RegValue::Dword(1));
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
    // No product folder can hold these: the drive's root and the Windows folder are protected.
    if (!std::filesystem::exists(fixture.machine.DriveC("Outside.txt"))) __builtin_trap();
    if (!std::filesystem::exists(fixture.machine.DriveC("WINDOWS/win.ini"))) __builtin_trap();
    if (!std::filesystem::is_directory(fixture.machine.DriveC("WINDOWS/TEMP"))) __builtin_trap();
    for (const auto& kept : kKept)
        if (!created.value()->KeyExists(kept.root, kept.key)) __builtin_trap();
    return 0;
}
