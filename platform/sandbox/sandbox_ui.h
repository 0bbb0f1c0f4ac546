// The simulated machine's user interface: every message box, page, folder browser and window
// goes into the journal as a transcript line, and a responder (console or answer script)
// decides the answers. It keeps what the screen shows, journals the progress page's texts and
// percentages when they change, and tells a screen observer when the screen is worth a picture.
// Once the responder's answers no longer fit, the interaction that found it is journaled without
// an answer and refused, and the interface is closed: it refuses every later interaction and
// shows, journals and changes nothing more on the screen, so that the program ends on its cancel
// path with a transcript and a screen that stay where the answers stopped.
#pragma once

#include <functional>

#include "platform/sandbox/journal.h"
#include "platform/sandbox/responder.h"
#include "platform/sandbox/screen_state.h"
#include "platform/user_interface.h"

namespace rvx::sandbox {

class SandboxUi : public platform::UserInterface {
public:
    // observer, when given, must outlive the interface.
    SandboxUi(Journal& journal, Responder& responder, ScreenObserver* observer = nullptr)
        : journal_(journal), responder_(responder), observer_(observer) {}
    ~SandboxUi() override;
    SandboxUi(const SandboxUi&) = delete;
    SandboxUi& operator=(const SandboxUi&) = delete;

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
    // Journaled as a CURSOR line, so that what happens under the wait cursor can be seen.
    void ShowWaitCursor(bool waiting) override;

    const ScreenState& screen() const { return screen_; }

    // Puts a disk of the medium's set into its drive: called with the disk the responder put in
    // while an interaction was up, once that interaction is answered and journaled.
    void SetDiskChanger(std::function<void(int)> changer) { disk_changer_ = std::move(changer); }

private:
    void ChangeDisk();
    void Notify(ScreenMoment moment);
    // A picture of the progress page's new texts, once both lines may have changed: taken before
    // a line changes a second time, after the bars move, and before anything else is shown.
    void FlushProgressTexts();
    bool closed() const { return responder_.mismatch().has_value(); }
    // Why an interaction is refused once the interface is closed.
    platform::Error Refused() const;

    Journal& journal_;
    Responder& responder_;
    ScreenObserver* observer_;
    ScreenState screen_;
    unsigned pending_lines_ = 0;            // bit 1 and 2: the lines changed since the last picture
    bool progress_since_picture_ = false;   // the page changed since its last picture
    std::function<void(int)> disk_changer_;
};

}  // namespace rvx::sandbox
