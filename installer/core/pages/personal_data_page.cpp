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
    Expansion text = intro.empty() ? Expansion(std::string()) : ExpandedDisplayText(app_, intro.front());
    if (text.stopped()) return kPageFatalStop;
    SetText(0, std::move(*text));
    const int result = ShowModal();
    if (result == kPageNext) {
        app_.user().name = name_;
        app_.user().company = company_;
    }
    return result;
}

namespace ids = personal_data_ids;

void PersonalDataPage::Fill(platform::PageModel& page) {
    ControlOf(page, ids::kName).value = name_;
    ControlOf(page, ids::kCompany).value = company_;
}

void PersonalDataPage::TakeValues(const platform::PageModel& page) {
    name_ = ValueOf(page, ids::kName).substr(0, kMaxNameLength);
    company_ = ValueOf(page, ids::kCompany).substr(0, kMaxCompanyLength);
}

}  // namespace rvx::installer
