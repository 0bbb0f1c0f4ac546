// The crash tests' product and the comparison of machine states.
#include "tests/support/crash_product.h"

#include <fstream>
#include <sstream>

#include "tests/support/temp_machine.h"

namespace rvx::test_support {

namespace fs = std::filesystem;

namespace {

constexpr const char* kBigFile = "big.bin";

std::string Script(bool with_big_file) {
    const std::string entry = "HKLM,\"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Crash\",";
    std::string files = "Dismara.exe,,,,\napp.exe,,,,\nshared.dll,Crash Shared\\,C,,\n";
    for (int i = 0; i < kCrashFiles; ++i) files += "data\\part" + std::to_string(i % 4) + "\\f" + std::to_string(i) + ".txt,,,,\n";
    if (with_big_file) files += std::string(kBigFile) + ",,,,\n";
    return "[TITLE]\nCrash\n[PRODUCTNAME]\nCrash\n[VERSION]\n1.0.0\n[DISKID]\nDisk %s\n[SIZE]\n100\n"
           "[INSTALLDIRTEXT]\nWhere?\n[DEFAULTDIR]\n%PROGFILES%\\Crash\n[UNINSTALLFILE]\ncrash.nvu\n"
           "[STRINGS]\nTALMREG=Software\\Crash\n[FILES]\n" + files +
           "[REGISTRY]\n" + entry + "DisplayName,,Crash\n" + entry + "UninstallString,,%DSTPATH%\\Dismara.exe %DSTPATH%\\crash.nvu\n"
           "HKLM,\"%TALMREG%\",InstallDir,,%DSTPATH%\nHKLM,\"%TALMREG%\\Options\",Level,,3\n"
           "[REGISTRYUNINSTALL]\nHKLM,\"%TALMREG%\"\n[ICONS]\nCrash\\Crash,%DSTPATH%\\app.exe,%DSTPATH%\n[EOF]\nend\n";
}

void Write(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

void WriteCrashMedium(const fs::path& folder, uint64_t big_file_bytes) {
    Write(folder / "Install.ini", Script(big_file_bytes > 0));
    Write(folder / "unattended.ANS", std::string("installmode=1\ndstpath=") + kCrashFolder + "\nname=Jane\ncompany=ACME\n");
    Write(folder / "Dismara.exe", "uninstaller");
    Write(folder / "app.exe", "program");
    Write(folder / "shared.dll", "shared library");
    for (int i = 0; i < kCrashFiles; ++i)
        Write(folder / "data" / ("part" + std::to_string(i % 4)) / ("f" + std::to_string(i) + ".txt"), "file " + std::to_string(i));
    if (big_file_bytes > 0) Write(folder / kBigFile, std::string(big_file_bytes, 'b'));
}

std::map<std::string, std::string> MachineState(const fs::path& machine_folder) {
    std::map<std::string, std::string> state;
    for (const auto& item : fs::recursive_directory_iterator(machine_folder / "drives")) {
        const std::string name = fs::relative(item.path(), machine_folder).string();
        state[name] = item.is_directory() ? std::string("<folder>") : Slurp(item.path());
    }
    state["registry.reg"] = Slurp(machine_folder / "registry.reg");
    // The entries only: a store emptied again keeps its heading, one never written has none.
    std::istringstream kept(Slurp(machine_folder / "file-attributes.ini"));
    for (std::string line; std::getline(kept, line);)
        if (!line.empty() && line[0] != ';' && line.find('=') != std::string::npos) state["file-attributes.ini"] += line + "\n";
    return state;
}

std::string StateDifferences(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after) {
    std::string lines;
    for (const auto& [name, content] : after) {
        auto found = before.find(name);
        if (found == before.end()) lines += "+ " + name + "\n";
        else if (found->second != content) lines += "~ " + name + "\n";
    }
    for (const auto& [name, content] : before)
        if (!after.count(name)) lines += "- " + name + "\n";
    return lines;
}

}  // namespace rvx::test_support
