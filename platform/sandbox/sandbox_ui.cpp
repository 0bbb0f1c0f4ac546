// The simulated machine's user interface and its transcript.
#include "platform/sandbox/sandbox_ui.h"

#include "common/text/text.h"

namespace rvx::sandbox {

using platform::ControlKind;

namespace {

char KindLetter(ControlKind kind) {
    switch (kind) {
    case ControlKind::text: return 't';
    case ControlKind::edit: return 'e';
    case ControlKind::multiline_text: return 'm';
    case ControlKind::check_box: return 'x';
    case ControlKind::radio: return 'r';
    case ControlKind::button: return 'b';
    }
    return 't';
}

// One field per visible control: t106="static text", e101="edit value", x1009="1", b1="Next";
// a "!" after the id marks a disabled control.
std::vector<std::string> ControlFields(const platform::PageModel& page) {
    std::vector<std::string> fields;
    for (const auto& control : page.controls) {
        if (!control.visible) continue;
        std::string key = std::string(1, KindLetter(control.kind)) + std::to_string(control.id) + (control.enabled ? "" : "!");
        const bool shows_value = control.kind == ControlKind::edit || control.kind == ControlKind::multiline_text ||
                                 control.kind == ControlKind::check_box || control.kind == ControlKind::radio;
        fields.push_back(Field(key, shows_value ? control.value : control.text));
        if ((control.kind == ControlKind::check_box || control.kind == ControlKind::radio) && !control.text.empty())
            fields.back() += ":" + Field("", control.text).substr(1);
    }
    return fields;
}

}  // namespace

platform::Result<platform::Answer> SandboxUi::ShowMessage(const platform::MessageRequest& request) {
    std::vector<std::string> fields{Field("caption", request.caption), Field("text", request.text),
                                    Word("buttons", ButtonsName(request.buttons)), Word("icon", IconName(request.icon)),
                                    Word("default", std::to_string(request.default_button))};
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
    std::vector<std::string> fields{Word("id", std::to_string(page.dialog_id)), Field("caption", page.caption)};
    for (auto& field : ControlFields(page)) fields.push_back(std::move(field));
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
    for (size_t i = 0; i < page.controls.size() && i < before.controls.size(); ++i) {
        const auto& control = page.controls[i];
        if (control.value != before.controls[i].value)
            fields.push_back(Field(std::string(1, KindLetter(control.kind)) + std::to_string(control.id), control.value));
    }
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
