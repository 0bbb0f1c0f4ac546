// The installation folder page.
#include "installer/core/pages/install_folder_page.h"

#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/install_app.h"
#include "installer/files/disk_space.h"
#include "installer/script/variables.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

namespace ids = install_folder_ids;

std::string LastComponent(std::string_view folder) {
    const size_t slash = folder.rfind('\\');
    return std::string(slash == std::string_view::npos ? folder : folder.substr(slash + 1));
}

}  // namespace

bool IsUsableFolderText(std::string_view folder) {
    if (folder.size() <= 3) return false;
    const char drive = text::ToUpper(folder[0]);
    return drive != 'A' && drive != 'B' && folder[1] == ':' && folder[2] == '\\';
}

int InstallFolderPage::Run() {
    if (!started_) {
        if (folder_.empty()) folder_ = app_.folders().default_folder.empty() ? "C:\\" : app_.folders().default_folder;
        started_ = true;
    }
    const auto& intro = app_.script().install_dir_text;
    Expansion text = intro.empty() ? Expansion(std::string()) : ExpandedDisplayText(app_, intro.front());
    if (text.stopped()) return kPageFatalStop;
    SetText(1, std::move(*text));

    if (app_.answers().unattended) {
        // The answer folder is taken as it stands: an answer file without one names no folder,
        // which the checks refuse, so the page asks for one with the proposed folder in it.
        const std::string& answer = app_.answers().folder;
        const OrStop<bool> accepted = Accept(answer);
        if (accepted.stopped()) return kPageFatalStop;
        if (*accepted) {
            app_.folders().installation = path::RemoveTrailingBackslash(accepted_);
            return kPageNext;
        }
        if (!answer.empty()) folder_ = answer;
        app_.answers().unattended = false;
    }
    const int result = ShowModal();
    if (result == kPageNext) app_.folders().installation = path::RemoveTrailingBackslash(accepted_);
    return result;
}

void InstallFolderPage::OnOpen() { product_folder_name_ = LastComponent(folder_); }

void InstallFolderPage::Fill(platform::PageModel& page) {
    identity_.FillIn(page);
    ControlOf(page, ids::kFolder).value = folder_;
}

void InstallFolderPage::TakeValues(const platform::PageModel& page) {
    folder_ = ValueOf(page, ids::kFolder).substr(0, kMaxLength);
}

int InstallFolderPage::OnButton(int button) {
    if (button == ids::kBrowse) {
        Browse();
        return kKeepOpen;
    }
    if (button != kPageNext) return kKeepOpen;
    const OrStop<bool> accepted = Accept(folder_);
    if (accepted.stopped()) return kPageFatalStop;
    return *accepted ? kPageNext : kKeepOpen;
}

void InstallFolderPage::Browse() {
    auto chosen = app_.platform().ui.BrowseForFolder(app_.Text(kAppTitle), folder_);
    if (!chosen || !chosen.value()) return;
    std::string folder = *chosen.value();
    if (!product_folder_name_.empty() && text::ToUpper(LastComponent(path::RemoveTrailingBackslash(folder))) != text::ToUpper(product_folder_name_))
        folder = path::AddTrailingBackslash(folder) + product_folder_name_;
    folder_ = folder.substr(0, kMaxLength);
}

OrStop<bool> InstallFolderPage::Accept(const std::string& candidate) {
    // The form rule comes before the folder check, so that nothing is created on a folder that
    // would be refused anyway (a floppy drive, a network share).
    if (!IsUsableFolderText(candidate)) {
        app_.Message(app_.Text(kFolderIncorrect));
        app_.answers().unattended = false;
        return false;
    }
    std::string checked = candidate;
    const OrStop<bool> usable = CheckInstallFolder(app_, checked);
    if (usable.stopped() || !*usable) return usable;
    accepted_ = checked;
    return true;
}

}  // namespace rvx::installer
