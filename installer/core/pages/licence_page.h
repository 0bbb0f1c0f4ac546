// The licence agreement page (dialog 127): Yes goes on, No is the page's Cancel.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

namespace licence_ids = dialogs::licence_page;

class LicencePage : public WizardPage {
public:
    LicencePage(InstallApp& app, const std::string& caption);

    // Not shown in an unattended run.
    int Run();

private:
    void Fill(platform::PageModel& page) override;
};

}  // namespace rvx::installer
