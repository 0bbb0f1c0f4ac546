// The service manager, the font table and the clock of the real machine.
#pragma once

#include "platform/system_services.h"

namespace rvx::win32 {

class Win32ServiceControl : public platform::ServiceControl {
public:
    platform::Outcome OpenManager() override;
    platform::Outcome Stop(std::string_view name) override;
    platform::Outcome MarkForDeletion(std::string_view name) override;
};

// Fonts added to the running session (AddFontResourceA); the system's font list in the
// registry is the installer's own business.
class Win32Fonts : public platform::Fonts {
public:
    platform::Result<int> AddFont(std::string_view path) override;
};

class Win32Clock : public platform::Clock {
public:
    Win32Clock();
    void Sleep(uint32_t milliseconds) override;
    uint64_t Milliseconds() override;

private:
    using TickCount64 = unsigned long long(__stdcall*)();
    TickCount64 tick_count_64_ = nullptr;  // absent before Vista
    uint32_t last_ticks_ = 0;               // for carrying the 32-bit count over its wrap
    uint64_t wraps_ = 0;
};

}  // namespace rvx::win32
