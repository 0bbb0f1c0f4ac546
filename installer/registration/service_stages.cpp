// The installer's service stages. Service names are used as the script writes them, without
// variable substitution, and every failure is passed over: a service that cannot be stopped
// must not stop the installation.
#include "installer/registration/service_stages.h"

#include "common/system/services.h"
#include "installer/core/state/install_state.h"

namespace rvx::installer {

namespace {

void StopAndDelete(platform::ServiceControl& services, const TextList& names) {
    for (const std::string& name : names) {
        (void)system::StopService(services, name);
        (void)system::DeleteService(services, name);
    }
}

}  // namespace

void StopServicesForUpdate(platform::ServiceControl& services, const ScriptSections& script) {
    StopAndDelete(services, script.stop_services_update);
}

void StopServices(platform::ServiceControl& services, const ScriptSections& script) {
    StopAndDelete(services, script.stop_services);
}

void RecordServicesForUninstaller(const ScriptSections& script, uninstall_log::UninstallLog& log) {
    for (const std::string& name : script.stop_services_uninstall) log.RecordService(name);
}

}  // namespace rvx::installer
