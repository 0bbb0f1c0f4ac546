// Answers from an answer script.
#include "platform/sandbox/scripted_responder.h"

#include <charconv>

#include "common/text/text.h"

namespace rvx::sandbox {

using platform::Answer;

platform::Result<std::vector<std::string>> SplitAnswerWords(std::string_view line) {
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < line.size()) {
        if (text::IsBlank(line[pos])) {
            ++pos;
            continue;
        }
        std::string word;
        // A word is any run of characters up to a blank; a quoted run inside it keeps blanks.
        while (pos < line.size() && !text::IsBlank(line[pos])) {
            if (line[pos] != '"') {
                word += line[pos++];
                continue;
            }
            size_t close = pos + 1;
            while (close < line.size() && line[close] != '"') close += line[close] == '\\' ? 2 : 1;
            if (close >= line.size()) return platform::Fail(platform::Status::invalid_argument, "unterminated quote");
            std::string unescaped;
            if (!text::Unescape(line.substr(pos + 1, close - pos - 1), unescaped))
                return platform::Fail(platform::Status::invalid_argument, "bad escape in a quoted value");
            word += unescaped;
            pos = close + 1;
        }
        words.push_back(std::move(word));
    }
    return words;
}

namespace {

// The number of a disk of the medium's set; -1 for anything else.
int DiskNumber(const std::string& word) {
    if (word.empty() || word.size() > 3 || word.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(word);
}

}  // namespace

platform::Result<ScriptedResponder> ScriptedResponder::Parse(std::string_view text, std::string file_name) {
    ScriptedResponder responder;
    responder.file_name_ = std::move(file_name);
    int number = 0;
    while (!text.empty()) {
        ++number;
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view trimmed = text::TrimBlanks(line);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        auto fail = [&](const std::string& why) {
            return platform::Fail(platform::Status::invalid_argument,
                                  responder.file_name_ + " line " + std::to_string(number) + ": " + why);
        };
        auto words = SplitAnswerWords(trimmed);
        if (!words) return fail(words.error().detail);
        ScriptedAnswer answer;
        answer.line = number;
        answer.kind = text::ToLower(words->front());
        answer.words.assign(words->begin() + 1, words->end());
        if (answer.kind == "message") {
            if (answer.words.empty()) return fail("message needs an answer (ok, cancel, yes, no, retry, abort, ignore)");
        } else if (answer.kind == "page") {
            if (answer.words.size() < 2) return fail("page needs a dialog id and a button");
        } else if (answer.kind == "browse") {
            if (answer.words.size() != 1) return fail("browse needs one folder in quotes, or cancel");
        } else if (answer.kind == "disk") {
            if (answer.words.size() != 1 || DiskNumber(answer.words[0]) < 1) return fail("disk needs the number of a disk, from 1");
        } else {
            return fail("unknown answer kind '" + words->front() + "' (message, page, browse or disk)");
        }
        responder.answers_.push_back(std::move(answer));
    }
    return responder;
}

void ScriptedResponder::Mismatch(const ScriptedAnswer& answer, const std::string& pending, const std::string& why) {
    RecordMismatch(file_name_ + " line " + std::to_string(answer.line) + ": the program shows " + pending + ", but " + why);
}

std::optional<ScriptedAnswer> ScriptedResponder::Take(std::string_view kind, const std::string& pending) {
    if (mismatch()) return std::nullopt;
    // The disks the user puts into the drive while this interaction is up, before answering it.
    for (; next_ < answers_.size() && answers_[next_].kind == "disk"; ++next_) {
        const ScriptedAnswer& disk = answers_[next_];
        const int number = DiskNumber(disk.words[0]);
        if (disk_count() == 0) {
            Mismatch(disk, pending, "the medium is not a set of disks (rovexa --disk)");
            return std::nullopt;
        }
        if (number > disk_count()) {
            Mismatch(disk, pending, "the medium's set has " + std::to_string(disk_count()) + " disk(s), not " + disk.words[0]);
            return std::nullopt;
        }
        RequestDiskChange(number);
    }
    if (next_ >= answers_.size()) {
        RecordMismatch(file_name_ + ": no answer left for " + pending);
        return std::nullopt;
    }
    const ScriptedAnswer& answer = answers_[next_];
    if (answer.kind != kind) {
        Mismatch(answer, pending, "the next answer is for a " + answer.kind);
        return std::nullopt;
    }
    return answers_[next_++];
}

Answer ScriptedResponder::AnswerMessage(const platform::MessageRequest& request) {
    const std::string pending = DescribeMessage(request);
    const std::optional<ScriptedAnswer> answer = Take("message", pending);
    if (!answer) return Answer::cancel;
    const std::string wanted = text::ToLower(answer->words[0]);
    if (answer->words.size() >= 2) {
        if (answer->words[1] != "~" || answer->words.size() != 3) {
            Mismatch(*answer, pending, "expected: message ANSWER ~ \"text\"");
            return Answer::cancel;
        }
        if (request.text.find(answer->words[2]) == std::string::npos) {
            Mismatch(*answer, pending, "its text does not contain \"" + text::Escape(answer->words[2]) + "\"");
            return Answer::cancel;
        }
    }
    for (Answer possible : AnswersOf(request.buttons))
        if (wanted == AnswerName(possible)) return possible;
    Mismatch(*answer, pending, "'" + wanted + "' is not one of its buttons");
    return Answer::cancel;
}

namespace {

int ButtonId(const std::string& word) {
    const std::string name = text::ToLower(word);
    if (name == "next" || name == "ok") return 1;
    if (name == "cancel") return 2;
    if (name == "back") return 117;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos || name.size() > 6) return -1;
    int id = -1;
    (void)std::from_chars(name.data(), name.data() + name.size(), id);  // six digits always fit
    return id;
}

}  // namespace

int ScriptedResponder::AnswerPage(platform::PageModel& page) {
    const std::string pending = DescribePage(page);
    const std::optional<ScriptedAnswer> taken = Take("page", pending);
    if (!taken) return kCancelledPageButton;
    const ScriptedAnswer& answer = *taken;
    if (answer.words[0] != std::to_string(page.dialog_id)) {
        Mismatch(answer, pending, "the answer is for page " + answer.words[0]);
        return kCancelledPageButton;
    }

    for (size_t i = 2; i < answer.words.size(); ++i) {
        const std::string& setting = answer.words[i];
        size_t equals = setting.find('=');
        int id = equals == std::string::npos ? -1 : ButtonId(setting.substr(0, equals));
        platform::Control* control = id < 0 ? nullptr : page.Find(id);
        if (!control || !control->visible || !control->enabled ||
            (control->kind != platform::ControlKind::edit && control->kind != platform::ControlKind::check_box &&
             control->kind != platform::ControlKind::radio)) {
            Mismatch(answer, pending, "'" + setting + "' does not name an edit, check box or radio that can be changed");
            return kCancelledPageButton;
        }
        std::string value = setting.substr(equals + 1);
        if (control->kind == platform::ControlKind::edit) {
            if (control->max_length > 0 && value.size() > static_cast<size_t>(control->max_length))
                value.resize(static_cast<size_t>(control->max_length));  // as the edit field's limit would
            control->value = value;
        } else {
            if (value != "0" && value != "1") {
                Mismatch(answer, pending, "'" + setting + "' must be 0 or 1");
                return kCancelledPageButton;
            }
            if (control->kind == platform::ControlKind::radio && value == "1")
                for (auto& other : page.controls)
                    if (other.kind == platform::ControlKind::radio) other.value.assign(1, '0');
            control->value = value;
        }
    }

    int button = ButtonId(answer.words[1]);
    const platform::Control* pressed = button < 0 ? nullptr : page.Find(button);
    if (!pressed || pressed->kind != platform::ControlKind::button || !pressed->visible || !pressed->enabled) {
        Mismatch(answer, pending, "'" + answer.words[1] + "' is not a button that can be pressed there");
        return kCancelledPageButton;
    }
    return button;
}

std::optional<std::string> ScriptedResponder::AnswerBrowse(std::string_view title, std::string_view) {
    const std::string pending = "the folder browser \"" + text::Escape(title) + "\"";
    const std::optional<ScriptedAnswer> answer = Take("browse", pending);
    if (!answer || text::EqualsIgnoreCase(answer->words[0], "cancel")) return std::nullopt;
    return answer->words[0];
}

}  // namespace rvx::sandbox
