// The success page.
#include "installer/core/pages/success_page.h"

#include "installer/core/install_app.h"
#include "installer/script/variables.h"

namespace rvx::installer {

namespace ids = success_ids;

int SuccessPage::Run() {
    if (app_.answers().unattended) {
        app_.answers().desktop_shortcut_choice = app_.answers().desktop_shortcut_answer != 0;
        app_.answers().launch_choice = false;
        return kPageNext;
    }
    if (!started_) {
        desktop_ = app_.flags().desktop_shortcut_on;
        launch_ = false;
        started_ = true;
    }
    const auto& lines = app_.script().success_text;
    Expansion first = lines.empty() ? Expansion(std::string()) : ExpandedDisplayText(app_, lines[0]);
    if (first.stopped()) return kPageFatalStop;
    // A missing second line shows one blank, so that the template's text does not show.
    Expansion second = lines.size() < 2 ? Expansion(std::string(" ")) : ExpandedDisplayText(app_, lines[1]);
    if (second.stopped()) return kPageFatalStop;
    SetText(0, std::move(*first));
    SetText(1, std::move(*second));
    const int result = ShowModal();
    app_.answers().desktop_shortcut_choice = desktop_;
    app_.answers().launch_choice = launch_;
    return result;
}

void SuccessPage::Fill(platform::PageModel& page) {
    const auto& icons = app_.script().desktop_icons;
    auto& desktop = ControlOf(page, ids::kDesktopBox);
    desktop.text = icons.empty() ? std::string() : icons.front();
    desktop.value = desktop_ ? "1" : "0";
    desktop.visible = icons.size() >= 4;
    const auto& launch_lines = app_.script().auto_launch;
    auto& launch = ControlOf(page, ids::kLaunchBox);
    launch.text = launch_lines.empty() ? std::string() : launch_lines.front();
    launch.value = launch_ ? "1" : "0";
    launch.visible = launch_lines.size() == 2;
}

void SuccessPage::TakeValues(const platform::PageModel& page) {
    desktop_ = ValueOf(page, ids::kDesktopBox) == "1";
    launch_ = ValueOf(page, ids::kLaunchBox) == "1";
}

}  // namespace rvx::installer
