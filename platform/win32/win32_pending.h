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

// Finding a window and sending it a command work already; starting programs comes later.
class Win32Processes : public platform::Processes {
public:
    platform::Outcome Start(const platform::StartRequest& request) override;
    platform::Result<uint32_t> StartAndWait(const platform::StartRequest& request,
                                            const std::function<void()>& keep_alive) override;
    platform::Outcome RunCommand(std::string_view command_line, platform::ShowState show) override;
    std::optional<platform::WindowRef> FindTopLevelWindow(std::string_view class_name, std::string_view title) override;
    platform::Outcome SendCommand(platform::WindowRef window, uint32_t command_id) override;
};

class Win32ProgramManager : public platform::ProgramManager {
public:
    platform::Outcome Execute(std::string_view command) override;
};

}  // namespace rvx::win32
