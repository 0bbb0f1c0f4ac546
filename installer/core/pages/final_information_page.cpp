// The final information page.
#include "installer/core/pages/final_information_page.h"

#include "installer/core/install_app.h"
#include "installer/script/variables.h"

namespace rvx::installer {

FinalInformationPage::FinalInformationPage(InstallApp& app, const std::string& caption) : WizardPage(app, caption, 129) {
    buttons_.accept_text = "OK";
    buttons_.back = false;
    buttons_.cancel = false;
}

int FinalInformationPage::Run() { return app_.answers().unattended ? kPageNext : ShowModal(); }

void FinalInformationPage::AddControls(platform::PageModel& page) {
    using platform::ControlKind;
    const auto& script = app_.script();
    page.Add(123, ControlKind::text, "The software has been installed into the folder:");
    page.Add(101, ControlKind::edit, "").value = app_.folders().installation;

    const std::string samples = app_.folders().documents + script.examples_subfolder;
    page.Add(124, ControlKind::text, "The samples have been installed into the folder:").visible = !samples.empty();
    auto& samples_edit = page.Add(102, ControlKind::edit, "");
    samples_edit.value = samples;
    samples_edit.visible = !samples.empty();

    page.Add(125, ControlKind::text, Expanded(app_, script.web_info_text));
    // Without an address there is nothing for the button to open.
    auto& web = page.Add(kWebButton, ControlKind::button,
                         script.web_button_text.empty() ? std::string("Update on the Internet") : script.web_button_text);
    web.visible = !script.web_link.empty();
}

int FinalInformationPage::OnButton(int button) {
    // Opening the product's address belongs to the web link service, which the page does not
    // reach yet: pressing the button leaves the page open.
    if (button == kWebButton) {
        app_.TraceText("The web button of the final page does not open its address yet.\n");
        return kKeepOpen;
    }
    return WizardPage::OnButton(button);
}

}  // namespace rvx::installer
