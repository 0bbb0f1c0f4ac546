// The simulated machine's user interface: every message box, page, folder browser and window
// goes into the journal as a transcript line, and a responder (console or answer script)
// decides the answers.
#pragma once

#include "platform/sandbox/journal.h"
#include "platform/sandbox/responder.h"
#include "platform/user_interface.h"

namespace rvx::sandbox {

class SandboxUi : public platform::UserInterface {
public:
    SandboxUi(Journal& journal, Responder& responder) : journal_(journal), responder_(responder) {}

    platform::Result<platform::Answer> ShowMessage(const platform::MessageRequest& request) override;
    platform::Result<int> ShowPage(platform::PageModel& page) override;
    platform::Result<std::optional<std::string>> BrowseForFolder(std::string_view title, std::string_view initial) override;
    void ShowProgress(std::string_view caption) override;
    void SetProgressText(int line, std::string_view text) override;
    void SetProgressBars(int file_percent, int total_percent) override;
    void CloseProgress() override;
    void ShowSearch(std::string_view text) override;
    void SetSearchFolder(std::string_view folder) override;
    void CloseSearch() override;
    platform::Outcome RegisterBackgroundClass() override;
    platform::Outcome CreateBackground() override;
    void SetBackgroundLook(const platform::BackgroundLook& look) override;
    void SetBackgroundTitle(std::string_view title) override;
    void DestroyBackground() override;
    void KeepAlive() override {}

private:
    Journal& journal_;
    Responder& responder_;
};

}  // namespace rvx::sandbox
