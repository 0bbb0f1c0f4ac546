// Replaying the screen from the journal.
#include "platform/sandbox/screen_replay.h"

#include <charconv>

#include "platform/sandbox/journal_reader.h"

namespace rvx::sandbox {

namespace {

int Number(const JournalLine& line, std::string_view key) {
    const std::string text = line.Value(key).value_or("0");
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

void ApplyColour(const std::string& text, platform::BackgroundLook& look) {
    int parts[3] = {0, 0, 0};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int& part : parts) {
        at = std::from_chars(at, end, part).ptr;
        if (at < end && *at == ',') ++at;
    }
    look.red = parts[0];
    look.green = parts[1];
    look.blue = parts[2];
}

void Apply(const JournalLine& line, ReplayedScreen& replayed) {
    ScreenState& screen = replayed.screen;
    const std::string action = line.Value("action").value_or("");
    if (line.kind == "PROGRAM") {
        replayed.screen = ScreenState{};
        replayed.program = line.Value("path").value_or("");
    } else if (line.kind == "BACKGROUND") {
        if (action == "look") {
            screen.look = platform::BackgroundLook{};
            screen.look.pictures = line.Values("picture");
            screen.look.small_picture = line.Value("small").value_or("");
            ApplyColour(line.Value("colour").value_or("0,0,255"), screen.look);
        } else if (action == "title") {
            screen.title = line.Value("title").value_or("");
            screen.background_shown = true;
        } else if (action == "destroy") {
            screen.background_shown = false;
        }
    } else if (line.kind == "PROGRESS") {
        ProgressState& progress = screen.progress;
        if (action == "show") {
            progress = ProgressState{true, line.Value("caption").value_or(""), "", "", 0, 0};
        } else if (action == "text") {
            (Number(line, "line") == 2 ? progress.line2 : progress.line1) = line.Value("text").value_or("");
        } else if (action == "bars") {
            progress.file_percent = Number(line, "file");
            progress.total_percent = Number(line, "total");
        } else if (action == "close") {
            progress = ProgressState{};
        }
    }
}

bool IsDestroy(const JournalLine& line) { return line.kind == "BACKGROUND" && line.Value("action") == "destroy"; }

}  // namespace

platform::Result<ReplayedScreen> ReplayScreen(std::string_view journal, std::optional<size_t> up_to_line) {
    ReplayedScreen replayed;
    std::optional<ReplayedScreen> before_destroy;  // the last program's screen just before its window went
    size_t number = 0;
    size_t start = 0;
    while (start < journal.size() && (!up_to_line || number < *up_to_line)) {
        const size_t end = std::min(journal.find('\n', start), journal.size());
        const std::string_view text = journal.substr(start, end - start);
        start = end + 1;
        ++number;
        replayed.line = number;
        const std::string_view kind = text.substr(0, text.find(' '));
        if (kind != "PROGRAM" && kind != "BACKGROUND" && kind != "PROGRESS") continue;
        auto line = ParseJournalLine(text);
        if (!line) return platform::Fail(line.error().status, "line " + std::to_string(number) + ": " + line.error().detail);
        if (line->kind == "PROGRAM") before_destroy.reset();
        if (!up_to_line && IsDestroy(*line) && replayed.screen.background_shown) {
            before_destroy = replayed;
            before_destroy->line = number - 1;
        }
        Apply(*line, replayed);
    }
    if (!up_to_line && !replayed.screen.background_shown && before_destroy) return *before_destroy;
    return replayed;
}

}  // namespace rvx::sandbox
