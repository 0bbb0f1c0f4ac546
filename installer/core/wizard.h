// The wizard: the page sequence filled for this run, and the loop that shows its pages with
// Next, Back and Cancel until the end slot is reached.
#pragma once

#include "installer/core/page_sequence.h"
#include "installer/core/pages/wizard_pages.h"

namespace rvx::installer {

class InstallApp;

enum class WizardResult {
    done,
    cancelled,  // Cancel confirmed on a page
    refused,    // the reinstall of the same version was not confirmed
    fatal_stop, // a text of a page held an undefined variable
};

// Writes the slots: previous installation, licence, personal data, folder, documents, end.
void FillPageSequence(InstallApp& app, PageSequence& sequence);

// going_back: the run comes back to the wizard from a failed copy; the sequence has moved Back
// once and goes on back to the last page actually shown.
WizardResult RunWizard(InstallApp& app, WizardPages& pages, PageSequence& sequence, bool going_back = false);

}  // namespace rvx::installer
