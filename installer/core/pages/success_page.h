// The success page (dialog 128): the installation is done; the user may ask for the desktop
// shortcuts and for the program to start afterwards.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

namespace success_ids = dialogs::success_page;

class SuccessPage : public WizardPage {
public:
    SuccessPage(InstallApp& app, const std::string& caption) : WizardPage(app, caption, success_ids::kDescription) {}

    // Sets the desktop-shortcut and launch choices, from the page or, unattended, from the
    // answer file (launching is then off). Returns 1.
    int Run();

private:
    void Fill(platform::PageModel& page) override;
    void TakeValues(const platform::PageModel& page) override;

    bool desktop_ = false;
    bool launch_ = false;
    bool started_ = false;
};

}  // namespace rvx::installer
