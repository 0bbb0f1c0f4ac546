// The restart: the shutdown privilege where the system has privileges, then a forced reboot.
#include "platform/win32/win32_power.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_errors.h"

namespace rvx::win32 {

namespace {

platform::Outcome TakeShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return LastError("the process token");
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        platform::Error error = LastError("the shutdown privilege");
        CloseHandle(token);
        return error;
    }
    // AdjustTokenPrivileges succeeds even when it grants nothing; only the last error tells,
    // and ERROR_NOT_ALL_ASSIGNED (a user without the privilege) counts as a refusal too.
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD code = GetLastError();
    CloseHandle(token);
    if (code != ERROR_SUCCESS)
        return platform::Fail(code == ERROR_NOT_ALL_ASSIGNED ? platform::Status::access_denied : StatusFromCode(code),
                              "the shutdown privilege: " + SystemMessage(code));
    return {};
}

}  // namespace

platform::Outcome Win32Power::Restart() {
    if (QueryOsVersion().family == platform::PlatformFamily::windows_nt)
        if (auto taken = TakeShutdownPrivilege(); !taken) return taken;
    // Forced: other programs are closed without being asked to save. The reason marks a planned
    // restart for an installation on systems that keep one; earlier ones ignore it.
    if (!ExitWindowsEx(EWX_REBOOT | EWX_FORCE,
                       SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED))
        return LastError("the restart");
    return {};
}

}  // namespace rvx::win32
