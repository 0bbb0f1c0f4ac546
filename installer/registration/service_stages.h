// The installer's service stages: services named by the script are stopped and deleted before
// their files are replaced and again after registration, and those the uninstaller must stop
// are recorded in the uninstall log.
#pragma once

namespace rvx::installer {

class InstallState;

// Each [STOPSVCUPDATE] line, before the copy stage: stop, then delete the service.
void StopServicesForUpdate(InstallState& app);
// Each [STOPNTSERVICES] line, after the registration stages: stop, then delete the service.
void StopServices(InstallState& app);
// A service record in the uninstall log for each [STOPSVCUNINSTALL] line.
void RecordServicesForUninstaller(InstallState& app);

}  // namespace rvx::installer
