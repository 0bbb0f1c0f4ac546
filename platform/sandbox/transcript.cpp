// Transcript lines of message boxes and pages.
#include "platform/sandbox/transcript.h"

#include "common/text/text.h"
#include "platform/sandbox/responder.h"

namespace rvx::sandbox {

using platform::ControlKind;

std::string Field(std::string_view key, std::string_view value) {
    std::string field;
    field.reserve(key.size() + value.size() + 3);
    field.append(key).append("=\"");
    text::AppendEscaped(field, value);
    field += '"';
    return field;
}

std::string Word(std::string_view key, std::string_view value) {
    std::string word;
    word.reserve(key.size() + value.size() + 1);
    word.append(key).append("=").append(value);
    return word;
}

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

std::vector<std::string> MessageFields(const platform::MessageRequest& request) {
    return {Field("caption", request.caption), Field("text", request.text), Word("buttons", ButtonsName(request.buttons)),
            Word("icon", IconName(request.icon)), Word("default", std::to_string(request.default_button))};
}

std::vector<std::string> PageFields(const platform::PageModel& page) {
    std::vector<std::string> fields{Word("id", std::to_string(page.dialog_id)), Field("caption", page.caption)};
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

std::vector<std::string> ChangedValueFields(const platform::PageModel& before, const platform::PageModel& after) {
    std::vector<std::string> fields;
    for (size_t i = 0; i < after.controls.size() && i < before.controls.size(); ++i) {
        const auto& control = after.controls[i];
        if (control.value != before.controls[i].value)
            fields.push_back(Field(std::string(1, KindLetter(control.kind)) + std::to_string(control.id), control.value));
    }
    return fields;
}

}  // namespace rvx::sandbox
