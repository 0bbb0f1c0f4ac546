// Fuzz target: the script lines of the external actions on arbitrary text, over one simulated
// machine kept for the whole run with a few programs on it. A line starting with "!" is a
// [STOPPROGRAM] line, one starting with "$" a [DIRECTX] line, any other a [FINALCOMMAND] line;
// each line is also taken whole as a command line to find a program for. Every message box is
// answered with its default button.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "installer/actions/directx_setup.h"
#include "installer/actions/final_commands.h"
#include "installer/actions/stop_programs.h"
#include "installer/core/install_app.h"
#include "installer/script/variables.h"
#include "platform/sandbox/program_lookup.h"
#include "tests/support/scratch_machine.h"

namespace {

struct Fixture {
    Fixture() : machine("rvx-action-lines-fuzz", "/E") {
        std::filesystem::create_directories(machine.DriveC("Fuzz/bin"));
        std::ofstream(machine.DriveC("Fuzz/tool.exe")) << "program";
        std::ofstream(machine.DriveC("Fuzz/bin/run.exe")) << "program";
        std::ofstream(machine.DriveC("Setup/dsetup.dll")) << "library";
    }
    rvx::test_support::ScratchMachine machine;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    fixture.machine.StartRun();
    rvx::installer::InstallApp app(fixture.machine.platform());
    if (!app.ProcessCommandLine()) __builtin_trap();
    app.folders().installation = "C:\\Fuzz";
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start <= input.size();) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(start, end - start);
        start = end + 1;
        for (const auto& name : rvx::sandbox::ProgramCandidates(line))
            if (name.empty() || name.size() > line.size() + 4) __builtin_trap();
        if (!line.empty() && line[0] == '!') app.script().stop_programs.push_back(line.substr(1));
        else if (!line.empty() && line[0] == '$') app.script().directx.push_back(line.substr(1));
        else app.script().final_commands.push_back(line);
    }
    for (const auto& line : app.script().stop_programs)
        if (auto parsed = rvx::installer::ParseStopProgramLine(line); parsed && parsed->window_title.size() > line.size())
            __builtin_trap();
    rvx::installer::StopPrograms(app.platform().processes, app.script());
    rvx::installer::InstallDirectXIfNeeded(app.platform(), app.script(), app.folders(), app.flags());
    // An undefined variable stops the installer; a valid outcome for a script line.
    (void)rvx::installer::RunFinalCommands(app, app.flags(), app.platform());
    // The working folder of one run must not leak into the next.
    (void)fixture.machine.platform().files.SetCurrentFolder("C:\\Setup");
    return 0;
}
