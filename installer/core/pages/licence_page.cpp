// The licence agreement page.
#include "installer/core/pages/licence_page.h"

#include "installer/core/install_app.h"

namespace rvx::installer {

LicencePage::LicencePage(InstallApp& app, const std::string& caption) : WizardPage(app, caption, 127) {
    buttons_.accept_id = kYes;
    buttons_.accept_text = "Yes";
    buttons_.cancel_text = "No";
}

int LicencePage::Run() { return app_.answers().unattended ? kPageNext : ShowModal(); }

void LicencePage::AddControls(platform::PageModel& page) {
    // Every line is preceded by a line break, so the text opens with an empty line.
    std::string text;
    for (const auto& line : app_.script().licence_text) text += "\r\n" + line;
    page.Add(101, platform::ControlKind::multiline_text, "").value = text;
}

}  // namespace rvx::installer
