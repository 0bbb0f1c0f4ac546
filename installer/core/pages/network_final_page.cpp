// The network final page. Its layout is this program's own: one text with a line per script
// line, then OK.
#include "installer/core/pages/network_final_page.h"

namespace rvx::installer {

NetworkFinalPage::NetworkFinalPage(InstallApp& app, const std::string& caption) : WizardPage(app, caption, 133) {
    buttons_.accept_text = "OK";
    buttons_.back = false;
    buttons_.cancel = false;
}

void NetworkFinalPage::AddControls(platform::PageModel& page) {
    std::string text;
    for (const auto& line : lines_) {
        if (!text.empty()) text += "\n";
        text += line;
    }
    page.Add(kTextControl, platform::ControlKind::text, text);
}

}  // namespace rvx::installer
