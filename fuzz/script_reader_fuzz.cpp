// Fuzz target: the install-script reader on arbitrary bytes, on one simulated machine kept for
// the whole run. Every message box is answered with its default button, as at the end of input.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "installer/core/install_app.h"
#include "installer/script/script_reader.h"
#include "installer/script/variables.h"
#include "tests/support/scratch_machine.h"

namespace {

struct Fixture {
    Fixture() : machine("rvx-script-fuzz", "/E") {
        std::filesystem::create_directories(machine.DriveC("Setup/samples"));
        std::ofstream(machine.DriveC("Setup/samples/a.txt")) << "sample";
    }
    rvx::test_support::ScratchMachine machine;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    fixture.machine.StartRun();
    std::ofstream(fixture.machine.DriveC("Setup/Install.ini"), std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    rvx::installer::InstallApp app(fixture.machine.platform());
    if (!app.ProcessCommandLine()) __builtin_trap();
    // An undefined variable stops the installer; that is a valid outcome for a script.
    (void)rvx::installer::ReadScript(app);
    return 0;
}
