// Stopping and removing services.
#include "common/system/services.h"

namespace rvx::system {

namespace {

// The manager's own failures come first in the platform's answer, so not_found can only mean
// that the manager opened and holds no service of that name.
ServiceRequest RequestResult(const platform::Outcome& outcome) {
    if (outcome.ok()) return ServiceRequest::accepted;
    return outcome.status() == platform::Status::not_found ? ServiceRequest::no_such_service : ServiceRequest::refused;
}

}  // namespace

ServiceRequest StopService(platform::ServiceControl& services, std::string_view name) {
    return RequestResult(services.Stop(name));
}

ServiceRequest DeleteService(platform::ServiceControl& services, std::string_view name) {
    return RequestResult(services.MarkForDeletion(name));
}

bool CanManageServices(platform::Platform& platform) {
    if (platform.environment.Version().family != platform::PlatformFamily::windows_nt) return true;
    return platform.services.OpenManager().ok();
}

}  // namespace rvx::system
