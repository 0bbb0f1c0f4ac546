// The uninstaller on a simulated machine: started as C:\Prog\Dismara.exe with a command line and
// an answer script, with helpers to put a log, files and registry values in place.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_machine.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller_strings.h"

namespace rvx::test_support {

inline constexpr const char* kUninstallerPath = "C:\\Prog\\Dismara.exe";
inline constexpr const char* kSharedDlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

struct Uninstaller {
    explicit Uninstaller(const std::string& command_line = "", const std::string& answers = "",
                         const sandbox::MachineConfig& config = sandbox::MachineConfig::Default(),
                         const std::string& current_folder = "C:\\Prog")
        : temp(config), platform(Start(command_line, answers, current_folder)), app(platform) {}

    platform::Platform& Start(const std::string& command_line, const std::string& answers, const std::string& folder) {
        temp.PutFile(kUninstallerPath, "program");
        auto& started = temp.Start(kUninstallerPath, command_line, answers, uninstaller::kBuiltInStrings);
        EXPECT_TRUE(started.files.SetCurrentFolder(folder));
        return started;
    }

    // The log's lines, joined with the system's line ends.
    static std::string LogText(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) text += line + "\r\n";
        return text;
    }
    void SetLog(const std::vector<std::string>& lines) { app.state().log_lines = lines; }

    void Put(const std::string& path, const std::string& content = "x") { temp.PutFile(path, content); }
    bool Exists(const std::string& path) { return platform::Exists(platform.files, path); }
    void SetShared(const std::string& path, uint32_t count) {
        EXPECT_TRUE(platform.registry.WriteValue(platform::RootKey::local_machine, kSharedDlls, path,
                                                 platform::RegValue::Dword(count)));
    }
    std::optional<uint32_t> Shared(const std::string& path) {
        auto value = platform.registry.ReadValue(platform::RootKey::local_machine, kSharedDlls, path);
        if (!value) return std::nullopt;
        return value->AsDword();
    }
    std::string Journal(const std::string& kind) {
        std::string lines;
        for (const auto& line : temp.JournalLines(kind)) lines += line + "\n";
        return lines;
    }

    TempMachine temp;
    platform::Platform& platform;
    uninstaller::UninstallApp app;
};

}  // namespace rvx::test_support
