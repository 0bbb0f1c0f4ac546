// The terminal as the simulated machine's screen.
#include "platform/sandbox/console_responder.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "common/text/text.h"

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
            out_ << "  " << (control.text.empty() ? "Value" : control.text) << " [" << control.value << "]: " << std::flush;
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
    for (;;) {
        out_ << "  ";
        for (size_t i = 0; i < buttons.size(); ++i) out_ << "(" << i + 1 << ") " << Flatten(buttons[i]->text) << "  ";
        out_ << "> " << std::flush;
        auto line = ReadLine();
        if (!line) {
            // With no one left to answer, a page cannot be decided: cancelling it would only ask
            // whether to quit, which has no one to answer either. The program stops here.
            out_ << "(end of input)\n";
            throw AnswerScriptError("the input ended at page " + std::to_string(page.dialog_id) + ", which needs an answer");
        }
        const std::string typed(text::TrimBlanks(*line));
        if (typed.size() == 1 && typed[0] >= '1' && static_cast<size_t>(typed[0] - '0') <= buttons.size())
            return buttons[static_cast<size_t>(typed[0] - '1')]->id;
        out_ << "  Please type the number of a button.\n";
    }
}

std::optional<std::string> ConsoleResponder::AnswerBrowse(std::string_view title, std::string_view initial) {
    out_ << "  " << title << " [" << initial << "] (a folder, or - to cancel): " << std::flush;
    auto line = ReadLine();
    if (!line || *line == "-") return std::nullopt;
    return line->empty() ? std::string(initial) : *line;
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
