// The previous-installation page (dialog 122): update the earlier installation in its folder,
// or install the software into another folder.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

namespace previous_installation_ids = dialogs::previous_installation_page;

// The user's choice on the page.
enum class PreviousInstallationChoice { update_here = 0, install_elsewhere = 1 };

class PreviousInstallationPage : public WizardPage {
public:
    PreviousInstallationPage(InstallApp& app, const std::string& caption)
        : WizardPage(app, caption, previous_installation_ids::kDescription) {}

    // The expanded product name, the folder where the earlier installation was found and the
    // warning shown while updating is chosen.
    void SetTexts(std::string product_name, std::string folder, std::string warning);
    void SetChoice(PreviousInstallationChoice choice) { choice_ = choice; }
    PreviousInstallationChoice choice() const { return choice_; }

    // An unattended run updates without asking.
    int Run();

private:
    void Fill(platform::PageModel& page) override;
    void TakeValues(const platform::PageModel& page) override;

    std::string product_name_;
    std::string folder_;
    std::string warning_;
    PreviousInstallationChoice choice_ = PreviousInstallationChoice::update_here;
};

}  // namespace rvx::installer
