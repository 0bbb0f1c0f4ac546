// Who answers the simulated machine's user interface: a person at the terminal (console mode)
// or an answer script (scripted mode). The SandboxUi around it writes the transcript.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/user_interface.h"

namespace rvx::sandbox {

// When the next answer of an answer script is missing or does not fit the pending interaction,
// or the console's input ends at a page, nothing can answer any more: the responder records
// why (the first such reason only) and answers that interaction as cancelled (Cancel, the cancel
// button, no folder). The user interface then refuses it and every later one, the program ends
// the way it ends on a cancel, and the host reports the mismatch instead of the exit code.
class Responder {
public:
    virtual ~Responder() = default;
    virtual platform::Answer AnswerMessage(const platform::MessageRequest& request) = 0;
    // Fills the edited values into page and returns the id of the button pressed.
    virtual int AnswerPage(platform::PageModel& page) = 0;
    virtual std::optional<std::string> AnswerBrowse(std::string_view title, std::string_view initial) = 0;

    // Why the answers stopped fitting; nothing while they fit.
    const std::optional<std::string>& mismatch() const { return mismatch_; }

    // A medium of several disks (floppies): the drive that holds one of them at a time and how
    // many there are, told by the session; no count, no set.
    void OfferDisks(char drive, int count) {
        disk_drive_ = drive;
        disk_count_ = count;
    }
    // The disk (from 1) the user put into that drive while the interaction just answered was
    // up (an answer script's "disk N" line before the answer, "disk N" typed at the terminal);
    // taken once.
    std::optional<int> TakeDiskChange() { return std::exchange(disk_change_, std::nullopt); }

    // Display only; a responder that shows nothing ignores them.
    virtual void ShowProgress(std::string_view) {}
    virtual void SetProgressText(int, std::string_view) {}
    virtual void SetProgressBars(int, int) {}
    virtual void CloseProgress() {}

protected:
    void RecordMismatch(std::string why) {
        if (!mismatch_) mismatch_ = std::move(why);
    }
    void RequestDiskChange(int disk) { disk_change_ = disk; }
    char disk_drive() const { return disk_drive_; }
    int disk_count() const { return disk_count_; }

private:
    std::optional<std::string> mismatch_;
    char disk_drive_ = '\0';
    int disk_count_ = 0;
    std::optional<int> disk_change_;
};

// The id of the button a page answered as cancelled reports.
inline constexpr int kCancelledPageButton = 2;

// Descriptions used in the transcript and in answer-script errors.
const char* ButtonsName(platform::Buttons buttons);
const char* IconName(platform::Icon icon);
const char* AnswerName(platform::Answer answer);
// The answers a box with these buttons can give, in button order.
std::vector<platform::Answer> AnswersOf(platform::Buttons buttons);
std::string DescribeMessage(const platform::MessageRequest& request);
std::string DescribePage(const platform::PageModel& page);

}  // namespace rvx::sandbox
