// WizardPage: what every wizard page shares. Four visible text slots, the first-page flag that
// disables Back, the caption every page takes from one shared title, and the Next, Cancel and
// Back buttons with the confirm-quit question behind Cancel. Each page is shown from its dialog
// description (installer/ui/installer_pages.def), which gives its controls, their template texts
// and limits. A page object lives for the whole run, so that a page shown again after Back
// still holds what the user entered.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "installer_pages.h"
#include "platform/dialog_description.h"
#include "platform/user_interface.h"

namespace rvx::installer {

class InstallApp;

// The values a page ends with: the ids of the Next, Cancel and Back buttons, and the fatal stop
// (a text the page expanded held an undefined variable), which no button has.
inline constexpr int kPageNext = 1;
inline constexpr int kPageCancel = 2;
inline constexpr int kPageBack = 117;
inline constexpr int kPageFatalStop = -2;

class WizardPage {
public:
    // caption is the title shared by every page; the run sequence updates it before each page.
    WizardPage(InstallApp& app, const std::string& caption, const platform::DialogDescription& dialog)
        : app_(app), caption_(caption), dialog_(dialog) {}
    virtual ~WizardPage() = default;
    WizardPage(const WizardPage&) = delete;
    WizardPage& operator=(const WizardPage&) = delete;

    // Slots 0 to 3 show in the controls 105 to 108, where the page has them, when not empty;
    // slot 4 has no control.
    void SetText(int slot, std::string text);
    const std::string& TextSlot(int slot) const;
    void SetFirstPage(bool first) { first_page_ = first; }
    bool first_page() const { return first_page_; }
    int dialog_id() const { return dialog_.id; }
    const platform::DialogDescription& description() const { return dialog_; }

protected:
    // Returned by OnButton when the page is to stay open.
    static constexpr int kKeepOpen = -1;

    // Shows the page until it ends; returns 1 (accepted), 117 (Back), 2 (quit confirmed), or
    // the fatal stop when OnButton ends with it.
    int ShowModal();

    // Called once each time the page opens, before its first display.
    virtual void OnOpen() {}
    // Fills the page's own controls of the model made from the description.
    virtual void Fill(platform::PageModel& page) = 0;
    // Takes what the user entered; called whichever button was pressed.
    virtual void TakeValues(const platform::PageModel& /*page*/) {}
    // The accept button or a page's own button: the value to end with, or kKeepOpen.
    virtual int OnButton(int button) { return button == accept_id_ ? kPageNext : kKeepOpen; }

    // The value of a control of a shown page; empty when the page has no such control.
    static std::string ValueOf(const platform::PageModel& page, int id);
    // The control of the model; the description guarantees it, so a missing one is a fault of
    // the page's code and stops the program in every build.
    static platform::Control& ControlOf(platform::PageModel& page, int id);

    InstallApp& app_;
    // The button that accepts the page (Next, or the page's own, such as the licence's Yes).
    int accept_id_ = kPageNext;

private:
    const std::string& caption_;
    const platform::DialogDescription& dialog_;
    std::array<std::string, 5> texts_;
    bool first_page_ = false;
};

// The identity area of the two folder pages: statics 122 and 123 under the labels 124 and 125,
// all hidden when no text was given.
struct IdentityArea {
    std::string first;
    std::string second;

    void FillIn(platform::PageModel& page) const;
};

}  // namespace rvx::installer
