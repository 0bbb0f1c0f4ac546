// What the installer asks about the running system and its own process: Windows family and
// version, the system folders, environment variables, its own path and command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rvx::platform {

enum class PlatformFamily { windows_95, windows_nt };

struct OsVersion {
    PlatformFamily family = PlatformFamily::windows_nt;
    uint32_t major = 5;
    uint32_t minor = 1;
    uint32_t build = 2600;
};

class Environment {
public:
    virtual ~Environment() = default;
    virtual OsVersion Version() = 0;
    virtual std::string WindowsFolder() = 0;  // "C:\WINDOWS", no final "\"
    virtual std::string SystemFolder() = 0;   // "C:\WINDOWS\system32", no final "\"
    virtual std::string TempFolder() = 0;     // ends in "\", as the system gives it
    virtual std::optional<std::string> Variable(std::string_view name) = 0;
    // Full Windows path of the running program ("D:\SETUP\ROVEXA.EXE").
    virtual std::string ProgramPath() = 0;
    // The program's command line after the program name, as the framework hands it over.
    virtual std::string CommandLine() = 0;
};

}  // namespace rvx::platform
