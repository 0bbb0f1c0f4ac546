// The files left in the application's folder: offered to the user, behind the script's warning.
#include "common/app/dialogs.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller/uninstall_pages.h"

namespace rvx::uninstaller {

bool UninstallApp::OfferLeftovers() {
    const LeftoverChoice choice = ShowLeftoverFiles(platform_.ui, state_.product_name, state_.leftover_files);
    if (choice == LeftoverChoice::not_shown) return false;
    if (choice == LeftoverChoice::keep || state_.leftover_files.empty() || !ConfirmWarning()) return true;
    for (const auto& file : state_.leftover_files) (void)platform_.files.RemoveFile(file);
    // The walk removes the folders the deletions emptied; what it collects now is not offered.
    WalkFolder(state_.current_folder, true);
    return true;
}

bool UninstallApp::ConfirmWarning() {
    if (state_.warning_text.empty() || !state_.warning_condition) return true;
    return app::ShowMessage(platform_.ui, state_.title, state_.warning_text, platform::Buttons::yes_no,
                            platform::Icon::warning, 2) == platform::Answer::yes;
}

}  // namespace rvx::uninstaller
