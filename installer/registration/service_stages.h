// The installer's service stages: services named by the script are stopped and deleted before
// their files are replaced and again after registration, and those the uninstaller must stop
// are recorded in the uninstall log.
#pragma once

#include "common/uninstall_log/uninstall_log.h"
#include "platform/platform.h"

namespace rvx::installer {

struct ScriptSections;

// Each [STOPSVCUPDATE] line, before the copy stage: stop, then delete the service.
void StopServicesForUpdate(platform::ServiceControl& services, const ScriptSections& script);
// Each [STOPNTSERVICES] line, after the registration stages: stop, then delete the service.
void StopServices(platform::ServiceControl& services, const ScriptSections& script);
// A service record in the uninstall log for each [STOPSVCUNINSTALL] line.
void RecordServicesForUninstaller(const ScriptSections& script, uninstall_log::UninstallLog& log);

}  // namespace rvx::installer
