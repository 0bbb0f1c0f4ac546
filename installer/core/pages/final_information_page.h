// The final information page (dialog 129): where the software and its samples went, and the
// product's web button.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

class FinalInformationPage : public WizardPage {
public:
    static constexpr int kWebButton = 126;

    FinalInformationPage(InstallApp& app, const std::string& caption);

    // Not shown in an unattended run. Returns 1.
    int Run();

private:
    void AddControls(platform::PageModel& page) override;
    int OnButton(int button) override;
};

}  // namespace rvx::installer
