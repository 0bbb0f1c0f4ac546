// The previous-installation page.
#include "installer/core/pages/previous_installation_page.h"

#include "installer/core/install_app.h"

namespace rvx::installer {

void PreviousInstallationPage::SetTexts(std::string product_name, std::string folder, std::string warning) {
    product_name_ = std::move(product_name);
    folder_ = std::move(folder);
    warning_ = std::move(warning);
}

int PreviousInstallationPage::Run() {
    if (app_.answers().unattended) {
        choice_ = kUpdateHere;
        return kPageNext;
    }
    return ShowModal();
}

void PreviousInstallationPage::AddControls(platform::PageModel& page) {
    using platform::ControlKind;
    page.Add(124, ControlKind::text, product_name_);
    page.Add(125, ControlKind::text, folder_);
    page.Add(120, ControlKind::radio, "update the software in this folder").value = choice_ == kUpdateHere ? "1" : "0";
    page.Add(121, ControlKind::radio, "install the software into another folder").value = choice_ == kInstallElsewhere ? "1" : "0";
    // The warning is about what updating removes, so it goes with the update choice only.
    page.Add(129, ControlKind::text, warning_).visible = choice_ == kUpdateHere;
}

void PreviousInstallationPage::TakeValues(const platform::PageModel& page) {
    if (ValueOf(page, 121) == "1") choice_ = kInstallElsewhere;
    else if (ValueOf(page, 120) == "1") choice_ = kUpdateHere;
}

}  // namespace rvx::installer
