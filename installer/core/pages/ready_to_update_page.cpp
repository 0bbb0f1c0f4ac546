// The ready-to-update page.
#include "installer/core/pages/ready_to_update_page.h"

#include "installer/core/install_app.h"

namespace rvx::installer {

ReadyToUpdatePage::ReadyToUpdatePage(InstallApp& app, const std::string& caption) : WizardPage(app, caption, 121) {
    buttons_.accept_text = "Install";
}

int ReadyToUpdatePage::Run() { return app_.answers().unattended ? kPageNext : ShowModal(); }

void ReadyToUpdatePage::AddControls(platform::PageModel& page) {
    page.Add(100, platform::ControlKind::text,
             "If you are updating the software it should not be running during the installation process.");
    page.Add(101, platform::ControlKind::text, "Click on the Install button to start the installation process.");
}

}  // namespace rvx::installer
