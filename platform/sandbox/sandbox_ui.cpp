// The simulated machine's user interface and its transcript.
#include "platform/sandbox/sandbox_ui.h"

#include "platform/sandbox/transcript.h"

namespace rvx::sandbox {

platform::Error SandboxUi::Refused() const {
    return platform::Fail(platform::Status::cancelled, "nothing answers: " + *responder_.mismatch());
}

void SandboxUi::ChangeDisk() {
    const std::optional<int> disk = responder_.TakeDiskChange();
    if (disk && disk_changer_) disk_changer_(*disk);
}

platform::Result<platform::Answer> SandboxUi::ShowMessage(const platform::MessageRequest& request) {
    if (closed()) return Refused();
    std::vector<std::string> fields = MessageFields(request);
    const platform::Answer answer = responder_.AnswerMessage(request);
    if (closed()) {
        fields.push_back(Word("answer", "none"));
        (void)journal_.Write("MESSAGE", fields);
        return Refused();
    }
    fields.push_back(Word("answer", AnswerName(answer)));
    (void)journal_.Write("MESSAGE", fields);
    ChangeDisk();
    return answer;
}

SandboxUi::~SandboxUi() {
    // A program that ends without destroying its background window still leaves a last picture.
    if (screen_.background_shown) Notify(ScreenMoment::end);
}

const char* MomentName(ScreenMoment moment) {
    switch (moment) {
    case ScreenMoment::background: return "background";
    case ScreenMoment::page: return "page";
    case ScreenMoment::progress: return "progress";
    case ScreenMoment::end: return "end";
    }
    return "unknown";
}

void SandboxUi::Notify(ScreenMoment moment) {
    if (moment == ScreenMoment::progress) progress_since_picture_ = false;
    if (observer_) observer_->Shown(screen_, moment);
}

void SandboxUi::FlushProgressTexts() {
    if (pending_lines_ == 0) return;
    pending_lines_ = 0;
    Notify(ScreenMoment::progress);
}

platform::Result<int> SandboxUi::ShowPage(platform::PageModel& page) {
    if (closed()) return Refused();
    FlushProgressTexts();
    screen_.page = &page;
    Notify(ScreenMoment::page);
    screen_.page = nullptr;
    std::vector<std::string> fields = PageFields(page);
    const platform::PageModel before = page;
    const int button = responder_.AnswerPage(page);
    if (closed()) {
        fields.push_back("-> button=none");
        (void)journal_.Write("PAGE", fields);
        return Refused();
    }
    fields.push_back("-> " + Word("button", std::to_string(button)));
    for (auto& field : ChangedValueFields(before, page)) fields.push_back(std::move(field));
    (void)journal_.Write("PAGE", fields);
    ChangeDisk();
    return button;
}

platform::Result<std::optional<std::string>> SandboxUi::BrowseForFolder(std::string_view title, std::string_view initial) {
    if (closed()) return Refused();
    std::vector<std::string> fields{Field("title", title), Field("initial", initial)};
    auto folder = responder_.AnswerBrowse(title, initial);
    if (closed()) return Refused();
    fields.push_back(folder ? Field("answer", *folder) : Word("answer", "cancel"));
    (void)journal_.Write("BROWSE", fields);
    ChangeDisk();
    return folder;
}

void SandboxUi::ShowProgress(std::string_view caption) {
    if (closed()) return;
    FlushProgressTexts();
    (void)journal_.Write("PROGRESS", {Word("action", "show"), Field("caption", caption)});
    responder_.ShowProgress(caption);
    screen_.progress = ProgressState{true, std::string(caption), "", "", 0, 0};
    Notify(ScreenMoment::progress);
}

void SandboxUi::SetProgressText(int line, std::string_view text) {
    if (closed()) return;
    responder_.SetProgressText(line, text);
    if (!screen_.progress.shown || (line != 1 && line != 2)) return;
    std::string& current = line == 1 ? screen_.progress.line1 : screen_.progress.line2;
    if (current == text) return;
    const unsigned bit = line == 1 ? 1u : 2u;
    if (pending_lines_ & bit) FlushProgressTexts();
    current = std::string(text);
    journal_.WriteSoon("PROGRESS", {Word("action", "text"), Word("line", std::to_string(line)), Field("text", text)});
    pending_lines_ |= bit;
    progress_since_picture_ = true;
}

void SandboxUi::SetProgressBars(int file_percent, int total_percent) {
    if (closed()) return;
    responder_.SetProgressBars(file_percent, total_percent);
    ProgressState& progress = screen_.progress;
    if (!progress.shown || (progress.file_percent == file_percent && progress.total_percent == total_percent)) return;
    progress.file_percent = file_percent;
    progress.total_percent = total_percent;
    journal_.WriteSoon("PROGRESS", {Word("action", "bars"), Word("file", std::to_string(file_percent)),
                                    Word("total", std::to_string(total_percent))});
    progress_since_picture_ = true;
    FlushProgressTexts();
}

void SandboxUi::CloseProgress() {
    if (closed()) return;
    FlushProgressTexts();
    // The page as it stood when it closed, which is the moment a screenshot of the system shows.
    if (screen_.progress.shown && progress_since_picture_) Notify(ScreenMoment::progress);
    (void)journal_.Write("PROGRESS", {Word("action", "close")});
    responder_.CloseProgress();
    screen_.progress = ProgressState{};
}

void SandboxUi::ShowWaitCursor(bool waiting) {
    (void)journal_.Write("CURSOR", {Word("shape", waiting ? "wait" : "arrow")});
}

void SandboxUi::ShowSearch(std::string_view text) {
    if (closed()) return;
    (void)journal_.Write("SEARCH", {Word("action", "show"), Field("text", text)});
}

void SandboxUi::SetSearchFolder(std::string_view folder) {
    if (closed()) return;
    (void)journal_.Write("SEARCH", {Word("action", "folder"), Field("folder", folder)});
}

void SandboxUi::CloseSearch() {
    if (!closed()) (void)journal_.Write("SEARCH", {Word("action", "close")});
}

platform::Outcome SandboxUi::RegisterBackgroundClass() { return {}; }

platform::Outcome SandboxUi::CreateBackground() {
    if (closed()) return Refused();
    return journal_.Write("BACKGROUND", {Word("action", "create")});
}

void SandboxUi::SetBackgroundLook(const platform::BackgroundLook& look) {
    if (closed()) return;
    screen_.look = look;
    std::vector<std::string> fields{Word("action", "look")};
    for (const auto& picture : look.pictures) fields.push_back(Field("picture", picture));
    if (!look.small_picture.empty()) fields.push_back(Field("small", look.small_picture));
    fields.push_back(Word("colour", std::to_string(look.red) + "," + std::to_string(look.green) + "," + std::to_string(look.blue)));
    (void)journal_.Write("BACKGROUND", fields);
}

void SandboxUi::SetBackgroundTitle(std::string_view title) {
    if (closed()) return;
    (void)journal_.Write("BACKGROUND", {Word("action", "title"), Field("title", title)});
    screen_.title = std::string(title);
    screen_.background_shown = true;
    Notify(ScreenMoment::background);
}

void SandboxUi::DestroyBackground() {
    // Once closed, the screen stays as the answers left it: its last picture is the session's end.
    if (closed()) return;
    FlushProgressTexts();
    if (screen_.background_shown) Notify(ScreenMoment::end);
    screen_.background_shown = false;
    (void)journal_.Write("BACKGROUND", {Word("action", "destroy")});
}

}  // namespace rvx::sandbox
