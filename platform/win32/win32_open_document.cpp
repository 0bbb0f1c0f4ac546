// Opening a document, folder or web address with the program the shell associates with it.
#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_pending.h"

#include <shellapi.h>

namespace rvx::win32 {

namespace {

int ShowCommand(platform::ShowState show) {
    switch (show) {
    case platform::ShowState::normal: return SW_SHOWNORMAL;
    case platform::ShowState::hidden: return SW_HIDE;
    case platform::ShowState::minimized: return SW_SHOWMINIMIZED;
    case platform::ShowState::maximized: return SW_SHOWMAXIMIZED;
    }
    return SW_SHOWNORMAL;
}

// The shell answers a failure with a small number of its own, not with the thread's last error.
platform::Error OpenError(INT_PTR code, const std::string& target) {
    switch (code) {
    case 0: return platform::Fail(platform::Status::io_error, target + " (the system is out of memory)");
    case SE_ERR_NOASSOC:
        return platform::Fail(platform::Status::not_found, target + " (no program is associated with it, code 31)");
    case SE_ERR_ASSOCINCOMPLETE:
        return platform::Fail(platform::Status::not_found, target + " (its association is incomplete, code 27)");
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
    case SE_ERR_DDETIMEOUT:
        return platform::Fail(platform::Status::io_error, target + " (the DDE transaction failed, code " +
                                                            std::to_string(code) + ")");
    default: {
        platform::Error error = ErrorFromCode(static_cast<DWORD>(code), target);
        error.detail += " (code " + std::to_string(code) + ")";
        return error;
    }
    }
}

}  // namespace

platform::Outcome Win32Shell::OpenDocument(std::string_view target, std::string_view parameters, std::string_view folder,
                                           platform::ShowState show) {
    const std::string file(target);
    const std::string arguments(parameters);
    const std::string directory(folder);
    const INT_PTR result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", file.c_str(),
                                                                   arguments.empty() ? nullptr : arguments.c_str(),
                                                                   directory.empty() ? nullptr : directory.c_str(),
                                                                   ShowCommand(show)));
    if (result > 32) return {};
    return OpenError(result, file);
}

platform::ShellCode Win32Shell::Execute(platform::ShellVerb verb, std::string_view target, platform::ShowState show) {
    const std::string file(target);
    const char* verb_text = verb == platform::ShellVerb::open ? "open" : nullptr;
    const INT_PTR result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, verb_text, file.c_str(), nullptr, nullptr,
                                                                   ShowCommand(show)));
    // Success is an instance handle, which may be any value above 32; the code keeps only that it was above.
    return platform::ShellCode{result > platform::kLastShellError ? platform::shell_code::opened : static_cast<int>(result)};
}

}  // namespace rvx::win32
