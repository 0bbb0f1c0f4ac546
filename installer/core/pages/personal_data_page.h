// The personal data page (dialog 109): the user's name and company.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

class PersonalDataPage : public WizardPage {
public:
    static constexpr int kMaxLength = 40;

    PersonalDataPage(InstallApp& app, const std::string& caption) : WizardPage(app, caption, 109) {}

    // Shows the page unless the run is unattended, whose answers are taken instead; the name
    // and company accepted become the install state's.
    int Run();

private:
    void AddControls(platform::PageModel& page) override;
    void TakeValues(const platform::PageModel& page) override;

    std::string name_;
    std::string company_;
    bool started_ = false;
};

}  // namespace rvx::installer
