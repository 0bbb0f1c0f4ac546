// The documents folder page.
#include "installer/core/pages/documents_folder_page.h"

#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/install_app.h"
#include "installer/script/folder_operations.h"
#include "installer_strings.h"

namespace rvx::installer {

int DocumentsFolderPage::Run() {
    if (!started_) {
        folder_ = app_.folders().documents;
        started_ = true;
    }
    for (;;) {
        if (app_.answers().unattended && !app_.answers().documents_folder.empty()) {
            folder_ = app_.answers().documents_folder.substr(0, kMaxLength);
        } else {
            const int result = ShowModal();
            if (result != kPageNext) return result;
        }
        if (Create(folder_)) {
            app_.folders().documents = path::AddTrailingBackslash(folder_);
            return kPageNext;
        }
        app_.answers().unattended = false;
    }
}

namespace ids = documents_folder_ids;

void DocumentsFolderPage::Fill(platform::PageModel& page) {
    identity_.FillIn(page);
    ControlOf(page, ids::kFolder).value = folder_;
}

void DocumentsFolderPage::TakeValues(const platform::PageModel& page) {
    folder_ = ValueOf(page, ids::kFolder).substr(0, kMaxLength);
}

bool DocumentsFolderPage::Create(const std::string& folder) {
    platform::FileSystem& files = app_.platform().files;
    const std::string path = path::RemoveTrailingBackslash(folder);
    int refusal = kFolderIncorrect;
    if (!path.empty()) {
        auto attributes = files.ReadAttributes(path);
        if (attributes) {
            if (attributes.value() & platform::attributes::directory) return true;
            refusal = kFileAlreadyExists;
        } else {
            auto created = CreateFolderPath(files, path);
            if (created) return true;
            if (created.status() == platform::Status::access_denied) refusal = kNoRightToCreateFolder;
        }
    }
    app_.Message(text::InsertArguments(app_.Text(refusal), {path}));
    return false;
}

}  // namespace rvx::installer
