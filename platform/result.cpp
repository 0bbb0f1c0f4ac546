// Names and descriptions of platform statuses, used in error messages and in the journal.
#include "platform/result.h"

namespace rvx::platform {

const char* StatusName(Status status) {
    switch (status) {
    case Status::ok: return "ok";
    case Status::not_found: return "not found";
    case Status::path_not_found: return "path not found";
    case Status::access_denied: return "access denied";
    case Status::sharing_violation: return "in use by another program";
    case Status::disk_full: return "no space left on the disk";
    case Status::already_exists: return "already exists";
    case Status::not_empty: return "not empty";
    case Status::invalid_argument: return "invalid argument";
    case Status::io_error: return "input/output error";
    case Status::not_available_yet: return "not available yet";
    case Status::unsupported: return "not supported on this system";
    case Status::cancelled: return "cancelled";
    }
    return "unknown status";
}

std::string Error::Describe() const {
    std::string text = StatusName(status);
    if (!detail.empty()) text += ": " + detail;
    return text;
}

Error NotAvailableYet(const char* service) {
    return Error{Status::not_available_yet, std::string(service) + " is not available yet on this platform"};
}

}  // namespace rvx::platform
