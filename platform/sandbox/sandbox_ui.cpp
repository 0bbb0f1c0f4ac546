// The simulated machine's user interface and its transcript.
#include "platform/sandbox/sandbox_ui.h"

#include "platform/sandbox/transcript.h"

namespace rvx::sandbox {

platform::Result<platform::Answer> SandboxUi::ShowMessage(const platform::MessageRequest& request) {
    std::vector<std::string> fields = MessageFields(request);
    platform::Answer answer;
    try {
        answer = responder_.AnswerMessage(request);
    } catch (const AnswerScriptError&) {
        fields.push_back(Word("answer", "none"));
        (void)journal_.Write("MESSAGE", fields);
        throw;
    }
    fields.push_back(Word("answer", AnswerName(answer)));
    (void)journal_.Write("MESSAGE", fields);
    return answer;
}

platform::Result<int> SandboxUi::ShowPage(platform::PageModel& page) {
    std::vector<std::string> fields = PageFields(page);
    const platform::PageModel before = page;
    int button = 0;
    try {
        button = responder_.AnswerPage(page);
    } catch (const AnswerScriptError&) {
        fields.push_back("-> button=none");
        (void)journal_.Write("PAGE", fields);
        throw;
    }
    fields.push_back("-> " + Word("button", std::to_string(button)));
    for (auto& field : ChangedValueFields(before, page)) fields.push_back(std::move(field));
    (void)journal_.Write("PAGE", fields);
    return button;
}

platform::Result<std::optional<std::string>> SandboxUi::BrowseForFolder(std::string_view title, std::string_view initial) {
    std::vector<std::string> fields{Field("title", title), Field("initial", initial)};
    auto folder = responder_.AnswerBrowse(title, initial);
    fields.push_back(folder ? Field("answer", *folder) : Word("answer", "cancel"));
    (void)journal_.Write("BROWSE", fields);
    return folder;
}

void SandboxUi::ShowProgress(std::string_view caption) {
    (void)journal_.Write("PROGRESS", {Word("action", "show"), Field("caption", caption)});
    responder_.ShowProgress(caption);
}

void SandboxUi::SetProgressText(int line, std::string_view text) { responder_.SetProgressText(line, text); }

void SandboxUi::SetProgressBars(int file_percent, int total_percent) {
    responder_.SetProgressBars(file_percent, total_percent);
}

void SandboxUi::CloseProgress() {
    (void)journal_.Write("PROGRESS", {Word("action", "close")});
    responder_.CloseProgress();
}

void SandboxUi::ShowSearch(std::string_view text) {
    (void)journal_.Write("SEARCH", {Word("action", "show"), Field("text", text)});
}

void SandboxUi::SetSearchFolder(std::string_view folder) {
    (void)journal_.Write("SEARCH", {Word("action", "folder"), Field("folder", folder)});
}

void SandboxUi::CloseSearch() { (void)journal_.Write("SEARCH", {Word("action", "close")}); }

platform::Outcome SandboxUi::RegisterBackgroundClass() { return {}; }

platform::Outcome SandboxUi::CreateBackground() { return journal_.Write("BACKGROUND", {Word("action", "create")}); }

void SandboxUi::SetBackgroundLook(const platform::BackgroundLook& look) {
    std::vector<std::string> fields{Word("action", "look")};
    for (const auto& picture : look.pictures) fields.push_back(Field("picture", picture));
    if (!look.small_picture.empty()) fields.push_back(Field("small", look.small_picture));
    fields.push_back(Word("colour", std::to_string(look.red) + "," + std::to_string(look.green) + "," + std::to_string(look.blue)));
    (void)journal_.Write("BACKGROUND", fields);
}

void SandboxUi::SetBackgroundTitle(std::string_view title) {
    (void)journal_.Write("BACKGROUND", {Word("action", "title"), Field("title", title)});
}

void SandboxUi::DestroyBackground() { (void)journal_.Write("BACKGROUND", {Word("action", "destroy")}); }

}  // namespace rvx::sandbox
