// Answers the user interface from a person at the terminal: message boxes and pages are drawn
// as text and answered by typing; the progress page is a bar on one line.
#pragma once

#include <iosfwd>

#include "platform/sandbox/responder.h"

namespace rvx::sandbox {

class ConsoleResponder : public Responder {
public:
    ConsoleResponder(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

    platform::Answer AnswerMessage(const platform::MessageRequest& request) override;
    int AnswerPage(platform::PageModel& page) override;
    std::optional<std::string> AnswerBrowse(std::string_view title, std::string_view initial) override;

    void ShowProgress(std::string_view caption) override;
    void SetProgressText(int line, std::string_view text) override;
    void SetProgressBars(int file_percent, int total_percent) override;
    void CloseProgress() override;

private:
    // A line typed by the user; nothing at the end of the input.
    std::optional<std::string> ReadLine();
    void DrawProgress();

    std::istream& in_;
    std::ostream& out_;
    bool progress_shown_ = false;
    std::string progress_texts_[2];
    int total_percent_ = 0;
};

}  // namespace rvx::sandbox
