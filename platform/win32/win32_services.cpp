// The service manager and the clock of the real machine.
#include "platform/win32/win32_services.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_errors.h"

namespace rvx::win32 {

platform::Outcome Win32ServiceControl::OpenManager() {
    if (QueryOsVersion().family != platform::PlatformFamily::windows_nt)
        return platform::Fail(platform::Status::unsupported, "the 95 family has no service manager");
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return LastError("the service manager");
    CloseServiceHandle(manager);
    return {};
}

platform::Outcome Win32ServiceControl::Stop(std::string_view) { return platform::NotAvailableYet("stopping services"); }

platform::Outcome Win32ServiceControl::MarkForDeletion(std::string_view) {
    return platform::NotAvailableYet("deleting services");
}

Win32Clock::Win32Clock() {
    if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
        // Looked up rather than linked, so that the program still starts on systems without it.
        FARPROC found = GetProcAddress(kernel, "GetTickCount64");
        tick_count_64_ = reinterpret_cast<TickCount64>(reinterpret_cast<void (*)()>(found));
    }
    last_ticks_ = GetTickCount();
}

void Win32Clock::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

uint64_t Win32Clock::Milliseconds() {
    if (tick_count_64_) return tick_count_64_();
    const uint32_t ticks = GetTickCount();
    if (ticks < last_ticks_) ++wraps_;
    last_ticks_ = ticks;
    return (wraps_ << 32) | ticks;
}

}  // namespace rvx::win32
