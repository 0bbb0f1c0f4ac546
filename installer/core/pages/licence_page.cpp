// The licence agreement page.
#include "installer/core/pages/licence_page.h"

#include "installer/core/install_app.h"

namespace rvx::installer {

namespace ids = licence_ids;

LicencePage::LicencePage(InstallApp& app, const std::string& caption) : WizardPage(app, caption, ids::kDescription) {
    accept_id_ = ids::kYes;
}

int LicencePage::Run() { return app_.answers().unattended ? kPageNext : ShowModal(); }

void LicencePage::Fill(platform::PageModel& page) {
    // Every line is preceded by a line break, so the text opens with an empty line.
    std::string text;
    for (const auto& line : app_.script().licence_text) text += "\r\n" + line;
    ControlOf(page, ids::kLicence).value = text;
}

}  // namespace rvx::installer
