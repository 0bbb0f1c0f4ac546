// The network final page (dialog 133): the closing lines of a network installation and OK.
#pragma once

#include <vector>

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

class NetworkFinalPage : public WizardPage {
public:
    static constexpr int kTextControl = 100;

    NetworkFinalPage(InstallApp& app, const std::string& caption);

    // The lines to show, already expanded by the caller.
    void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }

    // Shows the lines until OK; returns 1.
    int Run() { return ShowModal(); }

private:
    void AddControls(platform::PageModel& page) override;

    std::vector<std::string> lines_;
};

}  // namespace rvx::installer
