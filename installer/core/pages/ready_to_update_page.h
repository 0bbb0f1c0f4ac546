// The ready-to-update page (dialog 121), shown instead of the folder page when an earlier
// installation is updated in its own folder.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

class ReadyToUpdatePage : public WizardPage {
public:
    ReadyToUpdatePage(InstallApp& app, const std::string& caption);

    // Not shown in an unattended run.
    int Run();

private:
    void AddControls(platform::PageModel& page) override;
};

}  // namespace rvx::installer
