// Programs and top-level windows on the real system: starting programs, starting one and
// waiting for it while the installer's windows stay painted but take no input, finding a
// window and sending it a command.
#pragma once

#include "platform/system_services.h"

namespace rvx::win32 {

class Win32Processes : public platform::Processes {
public:
    platform::Outcome Start(const platform::StartRequest& request) override;
    // Only one wait runs at a time: the finished flag it polls is shared by the whole process.
    platform::Result<uint32_t> StartAndWait(const platform::StartRequest& request,
                                            const std::function<void()>& keep_alive) override;
    platform::Outcome RunCommand(std::string_view command_line, platform::ShowState show) override;
    std::optional<platform::WindowRef> FindTopLevelWindow(std::string_view class_name, std::string_view title) override;
    platform::Outcome SendCommand(platform::WindowRef window, uint32_t command_id) override;
};

}  // namespace rvx::win32
