// The page loop shared by every wizard page.
#include "installer/core/pages/wizard_page.h"

#include "installer/core/install_app.h"

namespace rvx::installer {

namespace {
constexpr int kFirstSlotControl = 105;
constexpr int kSlotsWithControls = 4;
constexpr const char* kBackText = "< &Back";
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

int WizardPage::ShowModal() {
    OnOpen();
    for (;;) {
        platform::PageModel page;
        page.dialog_id = dialog_id_;
        page.caption = caption_;
        for (int slot = 0; slot < kSlotsWithControls; ++slot) {
            const std::string& text = texts_[static_cast<size_t>(slot)];
            if (!text.empty()) page.Add(kFirstSlotControl + slot, platform::ControlKind::text, text);
        }
        AddControls(page);
        page.Add(buttons_.accept_id, platform::ControlKind::button, buttons_.accept_text);
        if (buttons_.back) page.Add(kPageBack, platform::ControlKind::button, kBackText).enabled = !first_page_;
        if (buttons_.cancel) page.Add(kPageCancel, platform::ControlKind::button, buttons_.cancel_text);

        auto pressed = app_.platform().ui.ShowPage(page);
        if (!pressed) {
            // A page that cannot be shown cannot be answered either: the run stops as on Cancel.
            app_.TraceText("Page " + std::to_string(dialog_id_) + " could not be shown: " + pressed.error().Describe() + "\n");
            return kPageCancel;
        }
        TakeValues(page);
        const int button = pressed.value();
        if (button == kPageCancel && buttons_.cancel) {
            if (app_.ConfirmQuit(2)) return kPageCancel;
            continue;
        }
        if (button == kPageBack && buttons_.back) {
            if (!first_page_) return kPageBack;
            continue;
        }
        const int result = OnButton(button);
        if (result != kKeepOpen) return result;
    }
}

void IdentityArea::AddTo(platform::PageModel& page) const {
    const bool shown = !first.empty() || !second.empty();
    page.Add(124, platform::ControlKind::text, "").visible = shown;
    page.Add(122, platform::ControlKind::text, first).visible = shown;
    page.Add(125, platform::ControlKind::text, "").visible = shown;
    page.Add(123, platform::ControlKind::text, second).visible = shown;
}

}  // namespace rvx::installer
