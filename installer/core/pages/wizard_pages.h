// The wizard's page objects, made once per run with the caption they share, so that each
// page keeps its values until the run ends.
#pragma once

#include <string>

#include "installer/core/pages/documents_folder_page.h"
#include "installer/core/pages/final_information_page.h"
#include "installer/core/pages/install_folder_page.h"
#include "installer/core/pages/licence_page.h"
#include "installer/core/pages/network_final_page.h"
#include "installer/core/pages/personal_data_page.h"
#include "installer/core/pages/previous_installation_page.h"
#include "installer/core/pages/ready_to_update_page.h"
#include "installer/core/pages/success_page.h"

namespace rvx::installer {

struct WizardPages {
    explicit WizardPages(InstallApp& app)
        : previous(app, caption), personal(app, caption), folder(app, caption), ready(app, caption), documents(app, caption),
          licence(app, caption), success(app, caption), final_information(app, caption), network_final(app, caption) {}
    WizardPages(const WizardPages&) = delete;
    WizardPages& operator=(const WizardPages&) = delete;

    // The expanded title every page shows as its caption; declared first so that it exists
    // before the pages that refer to it.
    std::string caption;
    PreviousInstallationPage previous;
    PersonalDataPage personal;
    InstallFolderPage folder;
    ReadyToUpdatePage ready;
    DocumentsFolderPage documents;
    LicencePage licence;
    SuccessPage success;
    FinalInformationPage final_information;
    NetworkFinalPage network_final;
};

}  // namespace rvx::installer
