// Host error numbers as platform statuses.
#include "platform/sandbox/host_errors.h"

#include <cerrno>
#include <cstring>

namespace rvx::sandbox {

platform::Error HostError(int error_number, std::string_view windows_path) {
    using platform::Status;
    Status status = Status::io_error;
    switch (error_number) {
    case ENOENT: status = Status::not_found; break;
    case ENOTDIR: status = Status::path_not_found; break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBADF: status = Status::access_denied; break;
    case ENOSPC:
    case EDQUOT: status = Status::disk_full; break;
    case EEXIST: status = Status::already_exists; break;
    case ENOTEMPTY: status = Status::not_empty; break;
    default: break;
    }
    return platform::Fail(status, std::string(windows_path) + " (" + std::strerror(error_number) + ")");
}

}  // namespace rvx::sandbox
