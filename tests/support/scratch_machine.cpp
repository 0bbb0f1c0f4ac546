// A throw-away simulated machine for benchmarks and fuzz targets.
#include "tests/support/scratch_machine.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>

#include "installer_strings.h"

namespace rvx::test_support {

namespace fs = std::filesystem;

ScratchMachine::ScratchMachine(const std::string& prefix, const std::string& command_line) {
    folder_ = fs::temp_directory_path() / (prefix + "-" + std::to_string(std::random_device{}()));
    fs::remove_all(folder_);
    auto opened = sandbox::Machine::Open(folder_.string());
    if (!opened) {
        std::cerr << "cannot create a simulated machine: " << opened.error().Describe() << "\n";
        std::abort();
    }
    machine_ = std::move(opened.value());
    fs::create_directories(DriveC("Setup"));
    session_ = std::make_unique<sandbox::ProgramSession>(
        *machine_, sandbox::ProgramStart{"C:\\Setup\\Rovexa.exe", command_line, "", installer::kBuiltInStrings}, responder_);
}

ScratchMachine::~ScratchMachine() {
    session_.reset();
    machine_.reset();
    std::error_code error;
    fs::remove_all(folder_, error);
}

void ScratchMachine::ForgetOutput() {
    std::ofstream(folder_ / "journal.log", std::ios::trunc);
    screen_.str("");
}

}  // namespace rvx::test_support
