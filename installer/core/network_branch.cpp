// The network branch of the run sequence.
#include "installer/core/network_branch.h"

#include "installer/core/install_app.h"
#include "installer/files/network_transfer.h"
#include "installer/registration/registry_lines.h"
#include "installer/registration/uninstall_records.h"
#include "installer/script/variables.h"

namespace rvx::installer {

bool RunNetworkBranch(InstallApp& app, WizardPages& pages) {
    app.progress().Open(ExpandedDisplayText(app, app.script().title));
    // A transfer that did not happen is not reported as done: no registry stage, no final page.
    switch (TransferInstallSet(app, ListInstallSet(app))) {
    case TransferResult::done: break;
    case TransferResult::no_space:
        app.progress().Close();
        return false;
    case TransferResult::log_failed:
        app.progress().Close();
        (void)app.ReportUninstallLogFailure();
        return false;
    }
    // The user's name and company are the section's second and third lines; a shorter section
    // gives what it has.
    const TextList& user = app.script().user_info_net;
    if (user.size() > 1) app.user().name = user[1];
    if (user.size() > 2) app.user().company = user[2];
    RunRegistryStage(app);
    for (const std::string& line : app.script().registry_uninstall) RecordRegistryKeyToRemove(app, Expanded(app, line));
    app.uninstall_log().RecordProduct(SubstituteDisplayText(app.script(), app.script().product_name));
    app.progress().Close();

    std::vector<std::string> lines;
    for (const std::string& line : app.script().final_text_net) lines.push_back(ExpandedDisplayText(app, line));
    pages.caption = ExpandedDisplayText(app, app.script().title);
    pages.network_final.SetLines(std::move(lines));
    (void)pages.network_final.Run();
    return true;
}

}  // namespace rvx::installer
