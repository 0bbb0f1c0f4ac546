// The terminal as the simulated machine's screen.
#include "platform/sandbox/console_responder.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "common/text/text.h"
#include "platform/dialog_description.h"

namespace rvx::sandbox {

using platform::Answer;
using platform::ControlKind;

namespace {

void PrintIndented(std::ostream& out, std::string_view text) {
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        out << "  | " << text.substr(pos, end - pos) << "\n";
        pos = end + 1;
    }
}

std::string Flatten(std::string_view text) { return text::ReplaceAll(text::ReplaceAll(text, "\r", ""), "\n", " "); }

// A static text counts as an edit's label when it ends at most this many dialog units above it.
constexpr int kLabelGap = 4;

// A label as the user reads it: without its "&" marks and its closing ":".
std::string AsLabel(std::string_view text) {
    std::string label = Flatten(text::ReplaceAll(text, "&", ""));
    if (!label.empty() && label.back() == ':') label.pop_back();
    return std::string(text::TrimBlanks(label));
}

// The static text the page's description shows just above the edit field, overlapping it
// across; empty when there is none. A label with an id is read from the page, which may have
// changed it.
std::string LabelAbove(const platform::PageModel& page, int edit_id) {
    if (page.description == nullptr) return {};
    const platform::ControlDescription* edit = page.description->Find(edit_id);
    if (edit == nullptr) return {};
    const platform::ControlDescription* best = nullptr;
    for (const auto& control : page.description->controls) {
        if (control.kind != platform::ControlClass::text) continue;
        const int bottom = control.place.y + control.place.height;
        const bool across = control.place.x < edit->place.x + edit->place.width && edit->place.x < control.place.x + control.place.width;
        if (!across || bottom > edit->place.y || edit->place.y - bottom > kLabelGap) continue;
        if (best == nullptr || bottom > best->place.y + best->place.height) best = &control;
    }
    if (best == nullptr) return {};
    const platform::Control* shown = page.Find(best->id);
    return AsLabel(shown != nullptr ? shown->text : best->text);
}

std::string EditPrompt(const platform::PageModel& page, const platform::Control& edit) {
    if (std::string label = LabelAbove(page, edit.id); !label.empty()) return label;
    if (std::string own = AsLabel(edit.text); !own.empty()) return own;
    return "Control " + std::to_string(edit.id);
}

// Whether a folder names its drive and starts at its root ("C:\...") or is a network path.
bool IsFullFolder(std::string_view folder) {
    if (folder.starts_with("\\\\")) return true;
    const bool letter = folder.size() >= 3 && ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
    return letter && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
}

// The number typed, when the whole text is one.
std::optional<int> TypedNumber(std::string_view typed) {
    if (typed.empty() || typed.size() > 9) return std::nullopt;
    int number = 0;
    for (char c : typed) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

std::optional<std::string> ConsoleResponder::ReadLine() {
    std::string line;
    if (!std::getline(in_, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

Answer ConsoleResponder::AnswerMessage(const platform::MessageRequest& request) {
    if (progress_shown_) out_ << "\n";
    const auto answers = AnswersOf(request.buttons);
    const Answer preset = answers[static_cast<size_t>(std::clamp(request.default_button, 1, static_cast<int>(answers.size())) - 1)];
    out_ << "  +-- " << request.caption << " (" << IconName(request.icon) << ")\n";
    PrintIndented(out_, request.text);
    for (;;) {
        out_ << "  +-- ";
        for (Answer answer : answers) out_ << "[" << AnswerName(answer) << "] ";
        out_ << "(Enter: " << AnswerName(preset) << ") > " << std::flush;
        auto line = ReadLine();
        if (!line) {
            out_ << AnswerName(preset) << " (end of input)\n";
            return preset;
        }
        const std::string typed = text::ToLower(text::TrimBlanks(*line));
        if (typed.empty()) return preset;
        for (Answer answer : answers)
            if (std::string_view(AnswerName(answer)).starts_with(typed)) return answer;
        out_ << "  Please type one of the answers shown.\n";
    }
}

int ConsoleResponder::AnswerPage(platform::PageModel& page) {
    if (progress_shown_) out_ << "\n";
    out_ << "\n=== " << page.caption << " (page " << page.dialog_id << ") ===\n";
    for (const auto& control : page.controls) {
        if (!control.visible) continue;
        if (control.kind == ControlKind::text && !control.text.empty()) PrintIndented(out_, control.text);
        if (control.kind == ControlKind::multiline_text) PrintIndented(out_, control.value);
    }
    for (auto& control : page.controls) {
        if (!control.visible || !control.enabled) continue;
        if (control.kind == ControlKind::edit) {
            out_ << "  " << EditPrompt(page, control) << " [" << control.value << "]: " << std::flush;
            if (auto line = ReadLine(); line && !line->empty()) {
                control.value = *line;
                if (control.max_length > 0 && control.value.size() > static_cast<size_t>(control.max_length))
                    control.value.resize(static_cast<size_t>(control.max_length));
            }
        } else if (control.kind == ControlKind::check_box || control.kind == ControlKind::radio) {
            out_ << "  " << (control.value == "1" ? "[x] " : "[ ] ") << Flatten(control.text) << " (y/n, Enter keeps) " << std::flush;
            if (auto line = ReadLine(); line && !line->empty()) {
                const bool on = text::ToLower(line->substr(0, 1)) == "y";
                if (control.kind == ControlKind::radio && on)
                    for (auto& other : page.controls)
                        if (other.kind == ControlKind::radio) other.value.assign(1, '0');
                control.value.assign(1, on ? '1' : '0');
            }
        }
    }
    std::vector<const platform::Control*> buttons;
    for (const auto& control : page.controls)
        if (control.kind == ControlKind::button && control.visible && control.enabled) buttons.push_back(&control);
    if (buttons.empty()) return 2;
    if (disk_count() > 0)
        out_ << "  (type disk N to put disk N of the medium's " << disk_count() << " into drive " << disk_drive() << ":)\n";
    for (;;) {
        out_ << "  ";
        for (size_t i = 0; i < buttons.size(); ++i) out_ << "(" << i + 1 << ") " << Flatten(buttons[i]->text) << "  ";
        out_ << "> " << std::flush;
        auto line = ReadLine();
        if (!line) {
            // With no one left to answer, a page cannot be decided: cancelling it would only ask
            // whether to quit, which has no one to answer either. The program is stopped here.
            out_ << "(end of input)\n";
            RecordMismatch("the input ended at page " + std::to_string(page.dialog_id) + ", which needs an answer");
            return kCancelledPageButton;
        }
        std::string_view typed = text::TrimBlanks(*line);
        if (disk_count() > 0 && typed.starts_with("disk ")) {
            const auto disk = TypedNumber(text::TrimBlanks(typed.substr(5)));
            if (disk && *disk >= 1 && *disk <= disk_count()) {
                RequestDiskChange(*disk);
                out_ << "  Disk " << *disk << " is in drive " << disk_drive() << ": now.\n";
            } else {
                out_ << "  The medium has disks 1 to " << disk_count() << ".\n";
            }
            continue;
        }
        // "#ID" is always a control id; a plain number is a place in the list, or else an id.
        const bool by_id = typed.starts_with('#');
        if (by_id) typed.remove_prefix(1);
        if (auto number = TypedNumber(typed)) {
            if (!by_id && *number >= 1 && static_cast<size_t>(*number) <= buttons.size())
                return buttons[static_cast<size_t>(*number - 1)]->id;
            for (const platform::Control* button : buttons)
                if (button->id == *number) return button->id;
        }
        out_ << "  Please type the number or the #id of a button.\n";
    }
}

std::optional<std::string> ConsoleResponder::AnswerBrowse(std::string_view title, std::string_view initial) {
    for (;;) {
        out_ << "  " << title << " [" << initial << "] (a folder, or - to cancel): " << std::flush;
        auto line = ReadLine();
        if (!line || *line == "-") return std::nullopt;
        if (line->empty()) return std::string(initial);
        // The shell's browser only ever hands back a whole folder.
        if (IsFullFolder(*line)) return *line;
        out_ << "  \"" << *line << "\" is not a full folder: type one with its drive, such as C:\\Program Files.\n";
    }
}

void ConsoleResponder::ShowProgress(std::string_view caption) {
    out_ << "== " << caption << " ==\n" << std::flush;
    progress_shown_ = true;
    total_percent_ = 0;
    progress_texts_[0].clear();
    progress_texts_[1].clear();
}

void ConsoleResponder::SetProgressText(int line, std::string_view text) {
    if (line < 1 || line > 2) return;
    progress_texts_[line - 1] = Flatten(text);
    if (progress_shown_) DrawProgress();
}

void ConsoleResponder::SetProgressBars(int, int total_percent) {
    total_percent_ = std::clamp(total_percent, 0, 100);
    if (progress_shown_) DrawProgress();
}

void ConsoleResponder::DrawProgress() {
    constexpr int kWidth = 30;
    const int filled = total_percent_ * kWidth / 100;
    std::string label = progress_texts_[0];
    if (label.size() > 40) label = label.substr(0, 37) + "...";
    out_ << "\r[" << std::string(static_cast<size_t>(filled), '#') << std::string(static_cast<size_t>(kWidth - filled), ' ')
         << "] " << total_percent_ << "% " << label << "\033[K" << std::flush;
}

void ConsoleResponder::CloseProgress() {
    if (progress_shown_) out_ << "\n" << std::flush;
    progress_shown_ = false;
}

}  // namespace rvx::sandbox
