// The documents folder page (dialog 126): where the user's documents go; the folder is made
// before it is accepted.
#pragma once

#include "installer/core/pages/wizard_page.h"

namespace rvx::installer {

namespace documents_folder_ids = dialogs::documents_folder_page;

class DocumentsFolderPage : public WizardPage {
public:
    static constexpr int kMaxLength = documents_folder_ids::kDescription.MaxLength(documents_folder_ids::kFolder);

    DocumentsFolderPage(InstallApp& app, const std::string& caption)
        : WizardPage(app, caption, documents_folder_ids::kDescription) {}

    void SetIdentity(IdentityArea identity) { identity_ = std::move(identity); }
    const std::string& folder() const { return folder_; }

    // Settles the documents folder: 1 once it exists and is set in the install state, ending
    // in "\"; 117 or 2 as the user ended the page. A refused folder shows the page again and
    // ends an unattended run.
    int Run();

private:
    void Fill(platform::PageModel& page) override;
    void TakeValues(const platform::PageModel& page) override;

    // Makes the folder when missing; false after the message saying why it cannot be used.
    bool Create(const std::string& folder);

    std::string folder_;
    IdentityArea identity_;
    bool started_ = false;
};

}  // namespace rvx::installer
