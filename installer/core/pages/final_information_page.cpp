// The final information page.
#include "installer/core/pages/final_information_page.h"

#include "installer/core/install_app.h"
#include "installer/script/variables.h"

namespace rvx::installer {

namespace ids = final_information_ids;

int FinalInformationPage::Run() {
    if (app_.answers().unattended) return kPageNext;
    Expansion web_info = ExpandedDisplayText(app_, app_.script().web_info_text);
    if (web_info.stopped()) return kPageFatalStop;
    web_info_ = std::move(*web_info);
    return ShowModal();
}

void FinalInformationPage::Fill(platform::PageModel& page) {
    const auto& script = app_.script();
    ControlOf(page, ids::kFolder).value = app_.folders().installation;

    const std::string samples = app_.folders().documents + script.examples_subfolder;
    ControlOf(page, ids::kSamplesLabel).visible = !samples.empty();
    auto& samples_edit = ControlOf(page, ids::kSamples);
    samples_edit.value = samples;
    samples_edit.visible = !samples.empty();

    ControlOf(page, ids::kWebInfo).text = web_info_;
    // The button keeps its template text unless the script names it; without an address there
    // is nothing for it to open.
    auto& web = ControlOf(page, ids::kWebButton);
    if (!script.web_button_text.empty()) web.text = script.web_button_text;
    web.visible = !script.web_link.empty();
}

int FinalInformationPage::OnButton(int button) {
    if (button == ids::kWebButton) {
        // The web button reports nothing: whether the address opened or not, the page closes as
        // its OK button closes it.
        (void)app_.platform().shell.Execute(platform::ShellVerb::default_verb, WebAddress(app_.script()),
                                            platform::ShowState::normal);
        return WizardPage::OnButton(accept_id_);
    }
    return WizardPage::OnButton(button);
}

std::string WebAddress(const ScriptSections& script) { return kWebAddressScheme + script.web_link; }

}  // namespace rvx::installer
