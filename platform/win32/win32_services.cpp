// The service manager, the font table and the clock of the real machine.
#include "platform/win32/win32_services.h"

#include <memory>
#include <string>
#include <type_traits>

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

namespace {

struct CloseService {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, CloseService>;

// Both handles of one request; the service's is closed before the manager's.
struct OpenedService {
    ServiceHandle manager;
    ServiceHandle service;
};

std::string ServiceLabel(std::string_view name) { return "service " + std::string(name); }

// Opens the manager with full access, then the service with the given rights. The manager's
// own failure comes first, so that not_found always means the manager holds no such service.
platform::Result<OpenedService> OpenNamedService(std::string_view name, DWORD access) {
    if (QueryOsVersion().family != platform::PlatformFamily::windows_nt)
        return platform::Fail(platform::Status::unsupported, "the 95 family has no service manager");
    OpenedService opened;
    opened.manager.reset(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!opened.manager) return LastError("the service manager");
    const std::string service_name(name);
    opened.service.reset(OpenServiceA(opened.manager.get(), service_name.c_str(), access));
    if (opened.service) return opened;
    const DWORD code = GetLastError();
    // A name no service can have names no service either.
    if (code == ERROR_SERVICE_DOES_NOT_EXIST || code == ERROR_INVALID_NAME)
        return platform::Fail(platform::Status::not_found, ServiceLabel(name) + " (" + SystemMessage(code) + ")");
    return ErrorFromCode(code, ServiceLabel(name));
}

}  // namespace

platform::Outcome Win32ServiceControl::Stop(std::string_view name) {
    auto opened = OpenNamedService(name, SERVICE_ALL_ACCESS);
    if (!opened) return opened.error();
    // The request is sent and not waited for: the service reaches its stopped state on its own.
    SERVICE_STATUS status{};
    if (!ControlService(opened->service.get(), SERVICE_CONTROL_STOP, &status))
        return LastError("stopping " + ServiceLabel(name));
    return {};
}

platform::Outcome Win32ServiceControl::MarkForDeletion(std::string_view name) {
    // Deleting needs no more than the standard rights, which include DELETE.
    auto opened = OpenNamedService(name, STANDARD_RIGHTS_REQUIRED);
    if (!opened) return opened.error();
    if (!::DeleteService(opened->service.get())) return LastError("deleting " + ServiceLabel(name));
    return {};
}

platform::Result<int> Win32Fonts::AddFont(std::string_view path) {
    const std::string font_path(path);
    const int added = AddFontResourceA(font_path.c_str());
    // The system says only that no font was added: the file is missing or holds no font.
    if (added <= 0) return platform::Fail(platform::Status::not_found, "no font was added from " + font_path);
    return added;
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
