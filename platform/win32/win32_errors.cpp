// Windows error codes as platform statuses.
#include "platform/win32/win32_errors.h"

namespace rvx::win32 {

platform::Status StatusFromCode(DWORD code) {
    using platform::Status;
    switch (code) {
    case ERROR_SUCCESS: return Status::ok;
    case ERROR_FILE_NOT_FOUND: return Status::not_found;
    case ERROR_PATH_NOT_FOUND: return Status::path_not_found;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return Status::access_denied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return Status::sharing_violation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return Status::disk_full;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return Status::already_exists;
    case ERROR_DIR_NOT_EMPTY: return Status::not_empty;
    // The 95 family answers so for services it lacks, such as MoveFileEx's delayed move.
    case ERROR_CALL_NOT_IMPLEMENTED:
    case ERROR_NOT_SUPPORTED: return Status::unsupported;
    default: return Status::io_error;
    }
}

std::string SystemMessage(DWORD code) {
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty()) text = "system error " + std::to_string(code);
    return text;
}

platform::Error ErrorFromCode(DWORD code, std::string_view object) {
    platform::Status status = StatusFromCode(code);
    // A failure reported with no code still has to read as a failure.
    if (status == platform::Status::ok) status = platform::Status::io_error;
    return platform::Fail(status, std::string(object) + " (" + SystemMessage(code) + ")");
}

platform::Error LastError(std::string_view object) { return ErrorFromCode(GetLastError(), object); }

}  // namespace rvx::win32
