// The running system and process as the real machine reports them.
#pragma once

#include "platform/environment.h"

namespace rvx::win32 {

// The system's version record; the service manager uses it too, to know the 95 family.
platform::OsVersion QueryOsVersion();

class Win32Environment : public platform::Environment {
public:
    platform::OsVersion Version() override;
    std::string WindowsFolder() override;
    std::string SystemFolder() override;
    std::string TempFolder() override;
    std::optional<std::string> Variable(std::string_view name) override;
    std::string ProgramPath() override;
    std::string CommandLine() override;
};

}  // namespace rvx::win32
