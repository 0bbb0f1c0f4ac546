// The previous-installation page.
#include "installer/core/pages/previous_installation_page.h"

#include "installer/core/install_app.h"

namespace rvx::installer {

namespace ids = previous_installation_ids;
using Choice = PreviousInstallationChoice;

void PreviousInstallationPage::SetTexts(std::string product_name, std::string folder, std::string warning) {
    product_name_ = std::move(product_name);
    folder_ = std::move(folder);
    warning_ = std::move(warning);
}

int PreviousInstallationPage::Run() {
    if (app_.answers().unattended) {
        choice_ = Choice::update_here;
        return kPageNext;
    }
    return ShowModal();
}

void PreviousInstallationPage::Fill(platform::PageModel& page) {
    ControlOf(page, ids::kProductName).text = product_name_;
    ControlOf(page, ids::kFoundFolder).text = folder_;
    ControlOf(page, ids::kUpdateHere).value = choice_ == Choice::update_here ? "1" : "0";
    ControlOf(page, ids::kInstallElsewhere).value = choice_ == Choice::install_elsewhere ? "1" : "0";
    // The warning is about what updating removes, so it goes with the update choice only.
    auto& warning = ControlOf(page, ids::kUpdateWarning);
    warning.text = warning_;
    warning.visible = choice_ == Choice::update_here;
}

void PreviousInstallationPage::TakeValues(const platform::PageModel& page) {
    if (ValueOf(page, ids::kInstallElsewhere) == "1") choice_ = Choice::install_elsewhere;
    else if (ValueOf(page, ids::kUpdateHere) == "1") choice_ = Choice::update_here;
}

}  // namespace rvx::installer
