// Fuzz target: the script checker on arbitrary bytes as an Install.ini, on a medium that holds a
// few of the files a script may name. The checker reads outside input in every language and
// variant the bytes declare; whatever they hold, it must end with a report whose problems all
// say something, and both forms of the report must be made from it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "host/check_output.h"
#include "host/script_checker.h"

namespace {

namespace fs = std::filesystem;

struct Medium {
    Medium() : folder(fs::temp_directory_path() / ("rvx-scriptcheck-fuzz-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(folder / "program");
        std::ofstream(folder / "program" / "app.exe", std::ios::binary) << "program";
        std::ofstream(folder / "readme.txt", std::ios::binary) << "read me";
        std::ofstream(folder / "DISK1", std::ios::binary) << "Disk 1";
    }
    ~Medium() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Medium medium;
    const fs::path script = medium.folder / "Install.ini";
    std::ofstream(script, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const rvx::host::CheckReport report = rvx::host::CheckScript({script.string(), medium.folder.string(), {}});
    for (const auto& problem : report.problems)
        if (problem.message.empty() || problem.line < 0) __builtin_trap();
    if (rvx::host::ReportAsJson(report).empty()) __builtin_trap();
    (void)rvx::host::ReportForPeople(report, false);
    return 0;
}
