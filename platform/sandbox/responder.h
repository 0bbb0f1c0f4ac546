// Who answers the simulated machine's user interface: a person at the terminal (console mode)
// or an answer script (scripted mode). The SandboxUi around it writes the transcript.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/user_interface.h"

namespace rvx::sandbox {

// Thrown by the scripted responder when the next answer is missing or does not fit the pending
// interaction, and by the console when its input ends at a page: nothing can answer, so the
// program must stop at once. Only the host entry points catch it.
class AnswerScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Responder {
public:
    virtual ~Responder() = default;
    virtual platform::Answer AnswerMessage(const platform::MessageRequest& request) = 0;
    // Fills the edited values into page and returns the id of the button pressed.
    virtual int AnswerPage(platform::PageModel& page) = 0;
    virtual std::optional<std::string> AnswerBrowse(std::string_view title, std::string_view initial) = 0;

    // Display only; a responder that shows nothing ignores them.
    virtual void ShowProgress(std::string_view) {}
    virtual void SetProgressText(int, std::string_view) {}
    virtual void SetProgressBars(int, int) {}
    virtual void CloseProgress() {}
};

// Descriptions used in the transcript and in answer-script errors.
const char* ButtonsName(platform::Buttons buttons);
const char* IconName(platform::Icon icon);
const char* AnswerName(platform::Answer answer);
// The answers a box with these buttons can give, in button order.
std::vector<platform::Answer> AnswersOf(platform::Buttons buttons);
std::string DescribeMessage(const platform::MessageRequest& request);
std::string DescribePage(const platform::PageModel& page);

}  // namespace rvx::sandbox
