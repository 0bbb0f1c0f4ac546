// Fuzz target: the install-script reader on arbitrary bytes, on one simulated machine kept for
// the whole run. Every message box is answered with its default button, as at the end of input.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "installer/core/install_app.h"
#include "installer/script/script_reader.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "platform/sandbox/console_responder.h"
#include "platform/sandbox/machine.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
    Fixture() {
        folder = fs::temp_directory_path() / ("rvx-script-fuzz-" + std::to_string(std::random_device{}()));
        fs::remove_all(folder);
        machine = std::move(rvx::sandbox::Machine::Open(folder.string()).value());
        fs::create_directories(folder / "drives" / "C" / "Setup" / "samples");
        std::ofstream(folder / "drives" / "C" / "Setup" / "samples" / "a.txt") << "sample";
        session = std::make_unique<rvx::sandbox::ProgramSession>(
            *machine, rvx::sandbox::ProgramStart{"C:\\Setup\\Rovexa.exe", "/E", "", rvx::installer::kBuiltInStrings},
            responder);
    }
    ~Fixture() { fs::remove_all(folder); }

    fs::path folder;
    std::istringstream no_input;
    std::ostringstream screen;
    rvx::sandbox::ConsoleResponder responder{no_input, screen};
    std::unique_ptr<rvx::sandbox::Machine> machine;
    std::unique_ptr<rvx::sandbox::ProgramSession> session;
    unsigned runs = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    if (++fixture.runs % 512 == 0) {
        // Keep the journal and the screen from growing without bound over a long run.
        std::ofstream(fixture.folder / "journal.log", std::ios::trunc);
        fixture.screen.str("");
    }
    std::ofstream(fixture.folder / "drives" / "C" / "Setup" / "Install.ini", std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    rvx::installer::InstallApp app(fixture.session->platform());
    if (!app.ProcessCommandLine()) __builtin_trap();
    try {
        (void)rvx::installer::ReadScript(app);
    } catch (const rvx::installer::FatalStop&) {
        // An undefined variable ends the installer; that is a valid outcome for a script.
    }
    return 0;
}
