// Names and descriptions of user-interface interactions.
#include "platform/sandbox/responder.h"

#include "common/text/text.h"

namespace rvx::sandbox {

using platform::Answer;
using platform::Buttons;

const char* ButtonsName(Buttons buttons) {
    switch (buttons) {
    case Buttons::ok: return "ok";
    case Buttons::ok_cancel: return "ok_cancel";
    case Buttons::yes_no: return "yes_no";
    case Buttons::yes_no_cancel: return "yes_no_cancel";
    case Buttons::retry_cancel: return "retry_cancel";
    case Buttons::abort_retry_ignore: return "abort_retry_ignore";
    }
    return "ok";
}

const char* IconName(platform::Icon icon) {
    switch (icon) {
    case platform::Icon::none: return "none";
    case platform::Icon::stop: return "stop";
    case platform::Icon::question: return "question";
    case platform::Icon::warning: return "warning";
    case platform::Icon::information: return "information";
    }
    return "none";
}

const char* AnswerName(Answer answer) {
    switch (answer) {
    case Answer::ok: return "ok";
    case Answer::cancel: return "cancel";
    case Answer::abort: return "abort";
    case Answer::retry: return "retry";
    case Answer::ignore: return "ignore";
    case Answer::yes: return "yes";
    case Answer::no: return "no";
    }
    return "cancel";
}

std::vector<Answer> AnswersOf(Buttons buttons) {
    switch (buttons) {
    case Buttons::ok: return {Answer::ok};
    case Buttons::ok_cancel: return {Answer::ok, Answer::cancel};
    case Buttons::yes_no: return {Answer::yes, Answer::no};
    case Buttons::yes_no_cancel: return {Answer::yes, Answer::no, Answer::cancel};
    case Buttons::retry_cancel: return {Answer::retry, Answer::cancel};
    case Buttons::abort_retry_ignore: return {Answer::abort, Answer::retry, Answer::ignore};
    }
    return {Answer::ok};
}

std::string DescribeMessage(const platform::MessageRequest& request) {
    return "message box \"" + text::Escape(request.caption) + "\": \"" + text::Escape(request.text) + "\" (buttons " +
           ButtonsName(request.buttons) + ")";
}

std::string DescribePage(const platform::PageModel& page) {
    return "page " + std::to_string(page.dialog_id) + " \"" + text::Escape(page.caption) + "\"";
}

}  // namespace rvx::sandbox
