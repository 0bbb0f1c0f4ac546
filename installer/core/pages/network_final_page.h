// The network final page (dialog 133): the closing lines of a network installation and OK.
#pragma once

#include <vector>

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

namespace network_final_ids = dialogs::network_final_page;

class NetworkFinalPage : public WizardPage {
public:
    NetworkFinalPage(InstallApp& app, const std::string& caption)
        : WizardPage(app, caption, network_final_ids::kDescription) {}

    // The lines to show, already expanded by the caller.
    void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }

    // Shows the lines until OK; returns 1.
    int Run() { return ShowModal(); }

private:
    void Fill(platform::PageModel& page) override;

    std::vector<std::string> lines_;
};

}  // namespace rvx::installer
