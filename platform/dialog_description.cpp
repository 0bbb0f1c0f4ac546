// Dialog descriptions: making page models from them.
#include "platform/dialog_description.h"

namespace rvx::platform {

std::optional<ControlKind> ModelKind(ControlClass kind) {
    switch (kind) {
    case ControlClass::text: return ControlKind::text;
    case ControlClass::edit:
    case ControlClass::read_only_edit: return ControlKind::edit;
    // The model carries a list as its lines, one per line of a multi-line value.
    case ControlClass::licence_text:
    case ControlClass::list_box: return ControlKind::multiline_text;
    case ControlClass::check_box: return ControlKind::check_box;
    case ControlClass::radio_first:
    case ControlClass::radio: return ControlKind::radio;
    case ControlClass::button:
    case ControlClass::default_button: return ControlKind::button;
    case ControlClass::picture_frame:
    case ControlClass::frame:
    case ControlClass::etched_line:
    case ControlClass::icon:
    case ControlClass::progress_bar:
    case ControlClass::percent_bar: return std::nullopt;
    }
    return std::nullopt;
}

PageModel ModelOf(const DialogDescription& dialog) {
    PageModel page;
    page.dialog_id = dialog.id;
    page.caption = dialog.caption;
    page.description = &dialog;
    for (const auto& described : dialog.controls) {
        const auto kind = ModelKind(described.kind);
        if (described.id == kNoControlId || !kind) continue;
        Control& control = page.Add(described.id, *kind, described.text);
        control.max_length = described.max_length();
        if (*kind == ControlKind::check_box || *kind == ControlKind::radio) control.value = "0";
    }
    return page;
}

}  // namespace rvx::platform
