// Answers the user interface from an answer script, one answer per interaction:
//   message ANSWER [~ "part of the text"]
//   page DIALOG-ID BUTTON [CONTROL-ID=VALUE ...]
//   browse "FOLDER" | browse cancel
//   disk N      (not an answer: the user puts disk N of the medium's set into its drive while
//                the next interaction is up, before answering it)
// Blank lines and lines starting with "#" are ignored; values with blanks are written in double
// quotes with C escapes. docs/answer-scripts.md describes the format.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"
#include "platform/sandbox/responder.h"

namespace rvx::sandbox {

struct ScriptedAnswer {
    int line = 0;
    std::string kind;                 // "message", "page", "browse" or "disk"
    std::vector<std::string> words;   // the words after the kind, unquoted
};

class ScriptedResponder : public Responder {
public:
    // Parses the script; errors name the file and the line.
    static platform::Result<ScriptedResponder> Parse(std::string_view text, std::string file_name);

    platform::Answer AnswerMessage(const platform::MessageRequest& request) override;
    int AnswerPage(platform::PageModel& page) override;
    std::optional<std::string> AnswerBrowse(std::string_view title, std::string_view initial) override;

    // Answers not used by the run (a test usually wants none left).
    size_t remaining() const { return answers_.size() - next_; }

private:
    // The next answer when it is of that kind; nothing, with the mismatch recorded, when it is
    // not or none is left, and always after a mismatch.
    std::optional<ScriptedAnswer> Take(std::string_view kind, const std::string& pending);
    void Mismatch(const ScriptedAnswer& answer, const std::string& pending, const std::string& why);

    std::string file_name_;
    std::vector<ScriptedAnswer> answers_;
    size_t next_ = 0;
};

// Splits an answer-script line into words; double-quoted words may hold blanks and C escapes.
platform::Result<std::vector<std::string>> SplitAnswerWords(std::string_view line);

}  // namespace rvx::sandbox
