// The personal data page.
#include "installer/core/pages/personal_data_page.h"

#include "installer/core/install_app.h"
#include "installer/script/variables.h"

namespace rvx::installer {

int PersonalDataPage::Run() {
    if (app_.answers().unattended) {
        app_.user().name = app_.answers().name;
        app_.user().company = app_.answers().company;
        return kPageNext;
    }
    if (!started_) {
        name_ = app_.user().name;
        company_ = app_.user().company;
        started_ = true;
    }
    const auto& intro = app_.script().personalize_text;
    SetText(0, intro.empty() ? std::string() : Expanded(app_, intro.front()));
    const int result = ShowModal();
    if (result == kPageNext) {
        app_.user().name = name_;
        app_.user().company = company_;
    }
    return result;
}

void PersonalDataPage::AddControls(platform::PageModel& page) {
    auto& name = page.Add(101, platform::ControlKind::edit, "");
    name.value = name_;
    name.max_length = kMaxLength;
    auto& company = page.Add(102, platform::ControlKind::edit, "");
    company.value = company_;
    company.max_length = kMaxLength;
}

void PersonalDataPage::TakeValues(const platform::PageModel& page) {
    name_ = ValueOf(page, 101).substr(0, kMaxLength);
    company_ = ValueOf(page, 102).substr(0, kMaxLength);
}

}  // namespace rvx::installer
