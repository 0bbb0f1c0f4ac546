// The personal data page (dialog 109): the user's name and company.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

namespace personal_data_ids = dialogs::personal_data_page;

class PersonalDataPage : public WizardPage {
public:
    static constexpr int kMaxNameLength = personal_data_ids::kDescription.MaxLength(personal_data_ids::kName);
    static constexpr int kMaxCompanyLength = personal_data_ids::kDescription.MaxLength(personal_data_ids::kCompany);

    PersonalDataPage(InstallApp& app, const std::string& caption)
        : WizardPage(app, caption, personal_data_ids::kDescription) {}

    // Shows the page unless the run is unattended, whose answers are taken instead; the name
    // and company accepted become the install state's.
    int Run();

private:
    void Fill(platform::PageModel& page) override;
    void TakeValues(const platform::PageModel& page) override;

    std::string name_;
    std::string company_;
    bool started_ = false;
};

}  // namespace rvx::installer
