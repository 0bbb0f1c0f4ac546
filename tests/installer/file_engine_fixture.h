// A simulated machine with an installer on it, set up for the file stages: the medium's files
// under C:\MEDIUM\, the installation going to C:\Prog, answers from an answer script.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/core/install_app.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"

namespace rvx::test_support {

// The compress/expand format with every byte stored as a literal: enough for the copy engine,
// which must tell compressed files from plain ones by their header alone.
inline std::string LiteralSzdd(const std::string& data, char missing_character) {
    std::string out("SZDD\x88\xF0\x27\x33" "A", 9);
    out += missing_character;
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((data.size() >> shift) & 0xFF);
    for (size_t i = 0; i < data.size(); i += 8) {
        out += '\xFF';
        out += data.substr(i, 8);
    }
    return out;
}

struct FileStages {
    // The installer runs from program (its folder is the source folder) with tracing on; the
    // answers answer what the stages ask, after the trace's own notice.
    explicit FileStages(const std::string& answers = "", const sandbox::MachineConfig& config = sandbox::MachineConfig::Default(),
                        const std::string& program = "C:\\MEDIUM\\Rovexa.exe")
        : temp(config), app(temp.Start(program, "/DEBUG", "message ok\n" + answers, installer::kBuiltInStrings)) {
        EXPECT_TRUE(app.ProcessCommandLine());
        app.folders().installation = "C:\\Prog";
        app.folders().installation_drive_root = "C:\\";
        app.script().disk_id = "Disk %s";
    }

    void Put(const std::string& path, const std::string& content) { temp.PutFile(path, content); }
    std::string Read(const std::string& path) { return temp.ReadFile(path); }
    bool Exists(const std::string& path) { return platform::Exists(app.platform().files, path); }
    std::string Journal(const std::string& kind) {
        std::string lines;
        for (const auto& line : temp.JournalLines(kind)) lines += line + "\n";
        return lines;
    }
    std::string Trace() { return Read("C:\\install.log"); }

    TempMachine temp;
    installer::InstallApp app;
};

}  // namespace rvx::test_support
