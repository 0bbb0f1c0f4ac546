// The wizard loop over the page sequence.
#include "installer/core/wizard.h"

#include "installer/core/install_app.h"
#include "installer/core/update_checks.h"
#include "installer/script/variables.h"

namespace rvx::installer {

namespace {

// What a page code does: nothing when its page is not shown in this run, else the page's result.
struct PageOutcome {
    bool shown = false;
    int result = kPageNext;
};

class Wizard {
public:
    Wizard(InstallApp& app, WizardPages& pages, PageSequence& sequence) : app_(app), pages_(pages), sequence_(sequence) {}

    WizardResult Run(bool going_back) {
        while (!sequence_.Done()) {
            const PageCode code = sequence_.Current();
            PageOutcome outcome;
            if (code == PageCode::previous_installation) {
                if (auto refused = PreviousInstallation(outcome)) return *refused;
            } else {
                outcome = Show(code);
            }
            if (outcome.result == kPageFatalStop) return WizardResult::fatal_stop;
            if (outcome.result == kPageCancel) return WizardResult::cancelled;
            // Back reaches the last page actually shown: pages this run does not show are passed
            // over in the direction of travel, and forward again when there is none before.
            if (outcome.result == kPageBack) going_back = true;
            if (going_back && (outcome.shown ? outcome.result == kPageBack : true)) {
                const int before = sequence_.index();
                sequence_.Back();
                if (sequence_.index() != before || outcome.shown) continue;
            }
            going_back = false;
            sequence_.Next();
        }
        return WizardResult::done;
    }

private:
    // Prepares a page that is about to be shown: the shared caption, and Back disabled on the
    // first page this run actually shows.
    template <class Page>
    int Present(Page& page) {
        if (first_shown_ < 0) first_shown_ = sequence_.index();
        Expansion caption = ExpandedDisplayText(app_, app_.script().title);
        if (caption.stopped()) return kPageFatalStop;
        pages_.caption = std::move(*caption);
        page.SetFirstPage(sequence_.index() == first_shown_);
        return page.Run();
    }

    PageOutcome Show(PageCode code) {
        const bool patch = app_.flags().patch;
        switch (code) {
        case PageCode::personal_data:
            if (!patch) return {true, Present(pages_.personal)};
            break;
        case PageCode::folder:
            if (!patch) return {true, app_.flags().update ? Present(pages_.ready) : Present(pages_.folder)};
            break;
        case PageCode::documents:
            if (!app_.flags().update && !app_.folders().documents.empty()) return {true, Present(pages_.documents)};
            break;
        case PageCode::licence:
            if (!app_.answers().unattended) return {true, Present(pages_.licence)};
            break;
        default: break;
        }
        return {};
    }

    // The previous-installation page, and the course it sets; a refusal when the same version
    // is not to be installed again.
    std::optional<WizardResult> PreviousInstallation(PageOutcome& outcome) {
        if (app_.flags().patch) return std::nullopt;
        PreviousInstallationChoice choice = PreviousInstallationChoice::update_here;
        if (!app_.answers().unattended) {
            outcome = {true, Present(pages_.previous)};
            if (outcome.result != kPageNext) return std::nullopt;
            choice = pages_.previous.choice();
        }
        app_.flags().update = true;
        if (choice == PreviousInstallationChoice::install_elsewhere) {
            app_.flags().update = false;
            sequence_.Set(PageSlot::documents, app_.flags().network_install ? PageCode::skipped : PageCode::documents);
            return std::nullopt;
        }
        if (ConfirmSameVersionUpdate(app_) == CheckResult::stop) return WizardResult::refused;
        return std::nullopt;
    }

    InstallApp& app_;
    WizardPages& pages_;
    PageSequence& sequence_;
    int first_shown_ = -1;
};

}  // namespace

void FillPageSequence(InstallApp& app, PageSequence& sequence) {
    const bool network = app.flags().network_install;
    sequence.Set(PageSlot::previous_installation, app.flags().update ? PageCode::previous_installation : PageCode::skipped);
    sequence.Set(PageSlot::licence, app.script().licence_text.empty() ? PageCode::skipped : PageCode::licence);
    sequence.Set(PageSlot::personal_data, network ? PageCode::skipped : PageCode::personal_data);
    sequence.Set(PageSlot::folder, PageCode::folder);
    sequence.Set(PageSlot::documents, app.flags().update || network ? PageCode::skipped : PageCode::documents);
    sequence.Set(PageSlot::end, PageCode::end);
}

WizardResult RunWizard(InstallApp& app, WizardPages& pages, PageSequence& sequence, bool going_back) {
    return Wizard(app, pages, sequence).Run(going_back);
}

}  // namespace rvx::installer
