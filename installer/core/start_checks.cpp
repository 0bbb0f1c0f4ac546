// Start checks: the pending start error, rights and the operating system.
#include "installer/core/start_checks.h"

#include <string>

#include "common/system/services.h"
#include "installer/core/install_app.h"
#include "installer/script/system_folders.h"
#include "installer/script/variables.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

CheckResult Refuse(InstallApp& app, int text_id) {
    app.Message(app.Text(text_id));
    return CheckResult::stop;
}

}  // namespace

CheckResult ReportPendingStartError(InstallApp& app) {
    const std::string& error = app.script().pending_start_error;
    if (error.empty() || error.front() == '@') return CheckResult::go_on;
    app.Message(ConvertLineBreaks(error));
    return CheckResult::stop;
}

CheckResult CheckRightsAndSystem(InstallApp& app) {
    platform::Platform& platform = app.platform();
    const RunFlags& flags = app.flags();
    // The machine-wide key is written by every installation (uninstall entry, shared counts),
    // so a user who may not write it is refused whatever the script says.
    const bool machine_key_writable = platform.registry.CheckWritable(platform::RootKey::local_machine, "SOFTWARE").ok();
    if ((flags.administrator_rights && !system::CanManageServices(platform)) || !machine_key_writable)
        return Refuse(app, kNeedAdminRights);
    if (flags.nt_only && !IsNtFamily(platform)) return Refuse(app, kNeedsNt);
    if (flags.no_windows_95 && IsWindows95(platform)) return Refuse(app, kNotOnWindows95);
    return CheckResult::go_on;
}

}  // namespace rvx::installer
