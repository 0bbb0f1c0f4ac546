// The services of the real machine that a later stage brings: until then each answers
// "not available yet", never a pretend success.
#pragma once

#include "platform/shell.h"
#include "platform/system_services.h"

namespace rvx::win32 {

// Special folders and shortcut files (win32_shortcuts.cpp) work already; opening documents comes later.
class Win32Shell : public platform::Shell {
public:
    platform::Result<std::string> SpecialFolderPath(platform::SpecialFolder folder) override;
    platform::Outcome CreateShortcut(const platform::ShortcutSpec& shortcut) override;
    platform::Outcome OpenDocument(std::string_view target, std::string_view parameters, std::string_view folder,
                                   platform::ShowState show) override;
};

class Win32ProgramManager : public platform::ProgramManager {
public:
    platform::Outcome Execute(std::string_view command) override;
};

}  // namespace rvx::win32
