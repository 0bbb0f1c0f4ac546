// The final information page (dialog 129): where the software and its samples went, and the
// product's web button.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

namespace final_information_ids = dialogs::final_information_page;

struct ScriptSections;

// The product's web address: "http://" followed by the text of [WWWLINK].
inline constexpr const char* kWebAddressScheme = "http://";
std::string WebAddress(const ScriptSections& script);

class FinalInformationPage : public WizardPage {
public:
    FinalInformationPage(InstallApp& app, const std::string& caption)
        : WizardPage(app, caption, final_information_ids::kDescription) {}

    // Not shown in an unattended run. Returns 1, or the fatal stop for an undefined variable in
    // the web information text.
    int Run();

private:
    void Fill(platform::PageModel& page) override;
    int OnButton(int button) override;

    std::string web_info_;  // the web information text, expanded before the page is shown
};

}  // namespace rvx::installer
