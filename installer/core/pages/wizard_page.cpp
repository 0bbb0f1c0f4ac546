// The page loop shared by every wizard page.
#include "installer/core/pages/wizard_page.h"

#include <cstdlib>

#include "installer/core/install_app.h"

namespace rvx::installer {

namespace {
constexpr int kFirstSlotControl = 105;
constexpr int kSlotsWithControls = 4;

// The page results are the ids of the pages' common buttons.
static_assert(kPageNext == dialogs::personal_data_page::kNext && kPageBack == dialogs::personal_data_page::kBack &&
              kPageCancel == dialogs::personal_data_page::kCancel);
static_assert(kPageBack == dialogs::licence_page::kBack && kPageCancel == dialogs::licence_page::kCancel);

// The identity area's controls have the same ids on both folder pages.
namespace identity = dialogs::install_folder_page;
static_assert(identity::kIdentity1 == dialogs::documents_folder_page::kIdentity1 &&
              identity::kIdentity2 == dialogs::documents_folder_page::kIdentity2 &&
              identity::kIdentityLabel1 == dialogs::documents_folder_page::kIdentityLabel1 &&
              identity::kIdentityLabel2 == dialogs::documents_folder_page::kIdentityLabel2);
}  // namespace

void WizardPage::SetText(int slot, std::string text) {
    if (slot >= 0 && slot < static_cast<int>(texts_.size())) texts_[static_cast<size_t>(slot)] = std::move(text);
}

const std::string& WizardPage::TextSlot(int slot) const {
    static const std::string kNone;
    if (slot < 0 || slot >= static_cast<int>(texts_.size())) return kNone;
    return texts_[static_cast<size_t>(slot)];
}

std::string WizardPage::ValueOf(const platform::PageModel& page, int id) {
    const platform::Control* control = page.Find(id);
    return control ? control->value : std::string();
}

platform::Control& WizardPage::ControlOf(platform::PageModel& page, int id) {
    platform::Control* control = page.Find(id);
    if (!control) std::abort();
    return *control;
}

int WizardPage::ShowModal() {
    OnOpen();
    const bool has_back = dialog_.Find(kPageBack) != nullptr;
    const bool has_cancel = dialog_.Find(kPageCancel) != nullptr;
    for (;;) {
        // The template as the language library in use gives it, as the real dialog shows it.
        platform::PageModel page = platform::ModelOf(app_.platform().resources.Dialog(dialog_));
        page.caption = caption_;
        for (int slot = 0; slot < kSlotsWithControls; ++slot) {
            platform::Control* control = page.Find(kFirstSlotControl + slot);
            if (!control) continue;
            const std::string& text = texts_[static_cast<size_t>(slot)];
            if (!text.empty()) control->text = text;
            control->visible = !control->text.empty();
        }
        Fill(page);
        if (platform::Control* back = page.Find(kPageBack)) back->enabled = !first_page_;

        auto pressed = app_.platform().ui.ShowPage(page);
        if (!pressed) {
            app_.NotePageNotShown(dialog_.id, pressed.error());
            return kPageCancel;
        }
        TakeValues(page);
        const int button = pressed.value();
        if (button == kPageCancel && has_cancel) {
            if (app_.ConfirmQuit(QuitQuestion::not_finished)) return kPageCancel;
            continue;
        }
        if (button == kPageBack && has_back) {
            if (!first_page_) return kPageBack;
            continue;
        }
        const int result = OnButton(button);
        if (result != kKeepOpen) return result;
    }
}

void IdentityArea::FillIn(platform::PageModel& page) const {
    const bool shown = !first.empty() || !second.empty();
    for (int id : {identity::kIdentityLabel1, identity::kIdentityLabel2})
        if (platform::Control* label = page.Find(id)) label->visible = shown;
    for (auto [id, text] : {std::pair{identity::kIdentity1, &first}, std::pair{identity::kIdentity2, &second}}) {
        if (platform::Control* value = page.Find(id)) {
            value->text = *text;
            value->visible = shown;
        }
    }
}

}  // namespace rvx::installer
