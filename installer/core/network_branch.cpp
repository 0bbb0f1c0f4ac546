// The network branch of the run sequence.
#include "installer/core/network_branch.h"

#include "installer/core/install_app.h"
#include "installer/files/network_transfer.h"
#include "installer/registration/registry_lines.h"
#include "installer/registration/uninstall_records.h"
#include "installer/script/variables.h"

namespace rvx::installer {

NetworkBranchResult RunNetworkBranch(InstallApp& app, WizardPages& pages) {
    const Expansion title = ExpandedDisplayText(app, app.script().title);
    if (title.stopped()) return NetworkBranchResult::fatal_stop;
    app.progress().Open(*title);
    // A transfer that did not happen is not reported as done: no registry stage, no final page.
    switch (TransferInstallSet(app, ListInstallSet(app.platform().files, app.folders()))) {
    case TransferResult::done: break;
    case TransferResult::fatal_stop: return NetworkBranchResult::fatal_stop;
    case TransferResult::no_space:
        app.progress().Close();
        return NetworkBranchResult::failed;
    case TransferResult::log_failed:
        app.progress().Close();
        (void)app.ReportUninstallLogFailure();
        return NetworkBranchResult::failed;
    }
    // The user's name and company are the section's second and third lines; a shorter section
    // gives what it has.
    const TextList& user = app.script().user_info_net;
    if (user.size() > 1) app.user().name = user[1];
    if (user.size() > 2) app.user().company = user[2];
    if (RunRegistryStage(app, app.flags(), app.platform().registry).stopped()) return NetworkBranchResult::fatal_stop;
    for (const std::string& line : app.script().registry_uninstall) {
        const Expansion expanded = Expanded(app, line);
        if (expanded.stopped()) return NetworkBranchResult::fatal_stop;
        RecordRegistryKeyToRemove(app.uninstall_log(), app.trace(), *expanded);
    }
    app.uninstall_log().RecordProduct(SubstituteDisplayText(app.script(), app.script().product_name));
    app.progress().Close();

    std::vector<std::string> lines;
    for (const std::string& line : app.script().final_text_net) {
        Expansion expanded = ExpandedDisplayText(app, line);
        if (expanded.stopped()) return NetworkBranchResult::fatal_stop;
        lines.push_back(std::move(*expanded));
    }
    Expansion caption = ExpandedDisplayText(app, app.script().title);
    if (caption.stopped()) return NetworkBranchResult::fatal_stop;
    pages.caption = std::move(*caption);
    pages.network_final.SetLines(std::move(lines));
    (void)pages.network_final.Run();
    return NetworkBranchResult::done;
}

}  // namespace rvx::installer
