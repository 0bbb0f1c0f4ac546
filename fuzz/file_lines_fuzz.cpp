// Fuzz target: the copy stage on arbitrary [FILES] and [CREATEFILES] lines (a line starting with
// "+" is a [CREATEFILES] line), over one simulated machine kept for the whole run, with a few
// files on the medium. Every message box is answered with its default button.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "installer/core/install_app.h"
#include "installer/files/copy_engine.h"
#include "installer/files/disk_space.h"
#include "installer/script/file_entry.h"
#include "installer/script/variables.h"
#include "tests/support/scratch_machine.h"

namespace {

struct Fixture {
    Fixture() : machine("rvx-file-lines-fuzz", "/E") {
        std::filesystem::create_directories(machine.DriveC("Setup/sub"));
        std::ofstream(machine.DriveC("Setup/a.txt")) << "plain file";
        std::ofstream(machine.DriveC("Setup/sub/b.dat")) << std::string(3000, 'b');
        // "packed" in the compress/expand format, stored as C.BI_ for C.BIN.
        std::ofstream(machine.DriveC("Setup/C.BI_"), std::ios::binary)
            << std::string("SZDD\x88\xF0\x27\x33" "AN\x06\0\0\0" "\x3F" "packed", 21);
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
    app.folders().installation_drive_root = "C:\\";
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    uint64_t created_bytes = 0;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        std::string line = input.substr(start, end - start);
        if (!line.empty() && line[0] == '+') {
            line.erase(0, 1);
            app.script().create_files.push_back(line);
        } else {
            app.script().files.push_back(line);
        }
        start = end + 1;
    }
    // Keep each run small: the zero-filled files would be written at their full size.
    for (const auto& line : app.script().create_files) {
        const auto fields = rvx::installer::SplitFileLineFields(line);
        if (fields.size() >= 3) created_bytes += static_cast<uint64_t>(std::max<long long>(0, std::atoll(fields[2].c_str())));
    }
    // An undefined variable stops the installer; a valid outcome for a script line, and one the
    // copy stage must come to as well.
    bool stopped = false;
    for (const auto& line : app.script().files) {
        if (line.empty() || rvx::installer::IsDiskMarker(line)) continue;
        const auto entry = rvx::installer::ParseFileLine(app, line);
        if (entry.stopped()) {
            stopped = true;
            break;
        }
        if (entry->attributes > 7) __builtin_trap();
    }
    const rvx::installer::CopyStageResult result = rvx::installer::CopyFiles(app);
    if (stopped && result != rvx::installer::CopyStageResult::fatal_stop) __builtin_trap();
    if (result == rvx::installer::CopyStageResult::done && created_bytes < 1000) (void)rvx::installer::CreatePreallocatedFiles(app);
    return 0;
}
