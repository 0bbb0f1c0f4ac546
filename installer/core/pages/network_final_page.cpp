// The network final page. Its layout is this program's own: one text with a line per script
// line, then OK.
#include "installer/core/pages/network_final_page.h"

namespace rvx::installer {

void NetworkFinalPage::Fill(platform::PageModel& page) {
    std::string text;
    for (const auto& line : lines_) {
        if (!text.empty()) text += "\n";
        text += line;
    }
    ControlOf(page, network_final_ids::kLines).text = text;
}

}  // namespace rvx::installer
