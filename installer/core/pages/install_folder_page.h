// The installation folder page (dialog 104): the folder typed or browsed for, checked before
// the page may end, or the answer file's folder in an unattended run.
#pragma once

#include "installer/core/pages/wizard_page.h"
#include "installer/script/expansion.h"

namespace rvx::installer {

namespace install_folder_ids = dialogs::install_folder_page;

class InstallFolderPage : public WizardPage {
public:
    static constexpr int kMaxLength = install_folder_ids::kDescription.MaxLength(install_folder_ids::kFolder);

    InstallFolderPage(InstallApp& app, const std::string& caption)
        : WizardPage(app, caption, install_folder_ids::kDescription) {}

    void SetIdentity(IdentityArea identity) { identity_ = std::move(identity); }
    // The folder in the edit field.
    const std::string& folder() const { return folder_; }

    // Settles the installation folder: 1 once it is set in the install state, 117 or 2 as the
    // user ended the page, or the fatal stop. An unattended answer that is refused falls back
    // to the page and ends the unattended run.
    int Run();

private:
    void OnOpen() override;
    void Fill(platform::PageModel& page) override;
    void TakeValues(const platform::PageModel& page) override;
    int OnButton(int button) override;

    void Browse();
    // The form and drive rules, then the folder check; false after the message, or the stop.
    OrStop<bool> Accept(const std::string& candidate);

    std::string folder_;
    std::string product_folder_name_;
    std::string accepted_;
    IdentityArea identity_;
    bool started_ = false;
};

// A folder of the form "X:\..." that is not on drive A or B.
bool IsUsableFolderText(std::string_view folder);

}  // namespace rvx::installer
