// Version checks of updates, all reported in message boxes before the wizard changes anything.
#include "installer/core/update_checks.h"

#include <string>
#include <string_view>

#include "common/text/text.h"
#include "installer/core/install_app.h"
#include "installer/core/version_compare.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

// The reinstall question; an unattended run has no one to ask and reinstalls.
bool AgreesToReinstall(InstallApp& app, std::string_view installed, std::string_view version, bool without_asking) {
    if (!without_asking) {
        const std::string text =
            text::InsertArguments(app.Text(kReinstallQuestion), {std::string(installed), std::string(version)});
        if (app.Message(text, Buttons::yes_no, Icon::warning, 2) != Answer::yes) return false;
    }
    app.flags().install_over = true;
    return true;
}

}  // namespace

CheckResult CheckUpdateVersions(InstallApp& app) {
    RunFlags& flags = app.flags();
    if (!flags.patch || flags.publisher_update) return CheckResult::go_on;

    const std::string installed(WithoutVersionPrefix(app.folders().installed_version));
    const std::string version(WithoutVersionPrefix(app.script().version));
    const std::string required(WithoutVersionPrefix(app.script().required_version));

    if (LanguageMark(installed) != LanguageMark(version)) {
        app.Message(app.Text(kLanguageMismatch), Buttons::ok, Icon::stop);
        return CheckResult::stop;
    }
    const VersionComparison against_new = CompareVersions(installed, version);
    const VersionComparison against_required = CompareVersions(installed, required);

    // Only the first two numbers must reach the required version: a fix-level difference passes.
    if (against_required.difference < 1 && against_required.equal_count < 2) {
        app.Message(text::InsertArguments(app.Text(kRequiredVersion), {required, installed}), Buttons::ok, Icon::stop);
        return CheckResult::stop;
    }
    if (against_new.difference == 0) {
        if (flags.install_over || flags.no_same_version_question) return CheckResult::go_on;
        return AgreesToReinstall(app, installed, version, app.answers().unattended) ? CheckResult::go_on
                                                                                     : CheckResult::stop;
    }
    if (against_new.difference >= 1 && !flags.install_over) {
        app.Message(text::InsertArguments(app.Text(kOlderUpdate), {installed, version}), Buttons::ok, Icon::warning);
        return CheckResult::stop;
    }
    return CheckResult::go_on;
}

CheckResult ConfirmSameVersionUpdate(InstallApp& app) {
    const std::string installed(WithoutVersionPrefix(app.folders().installed_version));
    const std::string version(WithoutVersionPrefix(app.script().version));
    if (installed.empty() || app.flags().install_over) return CheckResult::go_on;
    if (CompareVersions(installed, version).difference < 0) return CheckResult::go_on;
    const bool without_asking = app.answers().unattended || app.flags().no_same_version_question;
    return AgreesToReinstall(app, installed, version, without_asking) ? CheckResult::go_on : CheckResult::stop;
}

}  // namespace rvx::installer
