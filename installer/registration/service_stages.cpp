// The installer's service stages. Service names are used as the script writes them, without
// variable substitution, and every failure is passed over: a service that cannot be stopped
// must not stop the installation.
#include "installer/registration/service_stages.h"

#include "common/system/services.h"
#include "installer/core/state/install_state.h"

namespace rvx::installer {

namespace {

void StopAndDelete(InstallState& app, const TextList& names) {
    platform::ServiceControl& services = app.platform().services;
    for (const std::string& name : names) {
        (void)system::StopService(services, name);
        (void)system::DeleteService(services, name);
    }
}

}  // namespace

void StopServicesForUpdate(InstallState& app) { StopAndDelete(app, app.script().stop_services_update); }

void StopServices(InstallState& app) { StopAndDelete(app, app.script().stop_services); }

void RecordServicesForUninstaller(InstallState& app) {
    for (const std::string& name : app.script().stop_services_uninstall) app.uninstall_log().RecordService(name);
}

}  // namespace rvx::installer
