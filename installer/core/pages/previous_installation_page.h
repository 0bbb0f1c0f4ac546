// The previous-installation page (dialog 122): update the earlier installation in its folder,
// or install the software into another folder.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

class PreviousInstallationPage : public WizardPage {
public:
    static constexpr int kUpdateHere = 0;
    static constexpr int kInstallElsewhere = 1;

    PreviousInstallationPage(InstallApp& app, const std::string& caption) : WizardPage(app, caption, 122) {}

    // The expanded product name, the folder where the earlier installation was found and the
    // warning shown while updating is chosen.
    void SetTexts(std::string product_name, std::string folder, std::string warning);
    void SetChoice(int choice) { choice_ = choice; }
    int choice() const { return choice_; }

    // An unattended run updates without asking.
    int Run();

private:
    void AddControls(platform::PageModel& page) override;
    void TakeValues(const platform::PageModel& page) override;

    std::string product_name_;
    std::string folder_;
    std::string warning_;
    int choice_ = kUpdateHere;
};

}  // namespace rvx::installer
