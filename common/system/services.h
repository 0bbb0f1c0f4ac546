// Stopping and removing the services a product installs, shared by both programs: the installer
// clears them out of the way before it replaces their files, the uninstaller before it removes
// them. Both pass over the results: a service in the way must not stop either program.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace rvx::system {

// How a request to the service manager ended.
enum class ServiceRequest {
    accepted,         // the manager took the request
    no_such_service,  // the manager holds no service of that name: nothing is left to do
    refused,          // the manager cannot be opened (the 95 family has none, and a user without
                      // administrator rights may not open it), or it refused the request
};

// Asks the named service to stop, without waiting for it to reach the stopped state.
ServiceRequest StopService(platform::ServiceControl& services, std::string_view name);

// Marks the named service for deletion.
ServiceRequest DeleteService(platform::ServiceControl& services, std::string_view name);

// Whether this user may manage services: on the NT family, whether the service manager opens
// with full access; on the 95 family, which has no service manager to guard, always true.
bool CanManageServices(platform::Platform& platform);

}  // namespace rvx::system
