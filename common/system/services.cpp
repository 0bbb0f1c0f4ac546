// Stopping and removing services.
#include "common/system/services.h"

namespace rvx::system {

namespace {

// The manager's own failures come first in the platform's answer, so not_found can only mean
// that the manager opened and holds no service of that name.
int ServiceResult(const platform::Outcome& outcome) {
    return outcome.ok() || outcome.status() == platform::Status::not_found ? 1 : 0;
}

}  // namespace

int StopService(platform::ServiceControl& services, std::string_view name) { return ServiceResult(services.Stop(name)); }

int DeleteService(platform::ServiceControl& services, std::string_view name) {
    return ServiceResult(services.MarkForDeletion(name));
}

bool CanManageServices(platform::Platform& platform) {
    if (platform.environment.Version().family != platform::PlatformFamily::windows_nt) return true;
    return platform.services.OpenManager().ok();
}

}  // namespace rvx::system
