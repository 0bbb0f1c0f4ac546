// The ready-to-update page (dialog 121), shown instead of the folder page when an earlier
// installation is updated in its own folder.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

class ReadyToUpdatePage : public WizardPage {
public:
    ReadyToUpdatePage(InstallApp& app, const std::string& caption)
        : WizardPage(app, caption, dialogs::ready_to_update_page::kDescription) {}

    // Not shown in an unattended run.
    int Run();

private:
    // Its texts are those of its template.
    void Fill(platform::PageModel& /*page*/) override {}
};

}  // namespace rvx::installer
