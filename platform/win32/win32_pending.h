// The shell and the program manager of the real machine.
#pragma once

#include "platform/shell.h"
#include "platform/system_services.h"

namespace rvx::win32 {

// Special folders here, shortcut files in win32_shortcuts.cpp, opening documents in
// win32_open_document.cpp.
class Win32Shell : public platform::Shell {
public:
    platform::Result<std::string> SpecialFolderPath(platform::SpecialFolder folder) override;
    platform::Outcome CreateShortcut(const platform::ShortcutSpec& shortcut) override;
    platform::Outcome OpenDocument(std::string_view target, std::string_view parameters, std::string_view folder,
                                   platform::ShowState show) override;
    platform::ShellCode Execute(platform::ShellVerb verb, std::string_view target, platform::ShowState show) override;
};

// A DDE client of the program manager (win32_program_manager.cpp): not_found when none answers.
class Win32ProgramManager : public platform::ProgramManager {
public:
    platform::Outcome Execute(std::string_view command) override;
};

}  // namespace rvx::win32
