// Dialog descriptions: what one dialog of a program is made of, as its .def page description
// defines it (id, size, look, caption, and per control its id, kind, template text, place and
// limit). The same definition expands into the Windows dialog templates of the resource script
// and into these tables, from which the core builds the page models it shows, so that a page
// and its template cannot disagree.
#pragma once

#include <span>

#include "platform/user_interface.h"

namespace rvx::platform {

// Every dialog uses the font of the Windows dialogs of its time.
inline constexpr const char* kDialogFont = "MS Sans Serif";
inline constexpr int kDialogFontSize = 8;

// Controls without an id: labels and decoration that nothing addresses.
inline constexpr int kNoControlId = -1;

enum class DialogLook {
    wizard,    // a modal page over the background window, centred
    prompt,    // a small modal question, centred
    modeless,  // a window that stays while a stage runs (search, progress)
};

enum class ControlClass {
    text,            // a static text
    edit,            // a one-line edit field
    read_only_edit,  // a one-line edit field that shows a value
    licence_text,    // a read-only multi-line edit with a scroll bar
    list_box,        // a list of lines
    check_box,
    radio_first,     // the first radio button of a group
    radio,
    button,
    default_button,  // the button that Enter presses
    picture_frame,   // the frame the page's side picture is painted in
    frame,           // a plain etched frame
    etched_line,     // the line above a page's buttons
    icon,            // a place for an icon, set by the platform
    progress_bar,    // the system's progress bar
    percent_bar,     // a percentage bar the platform draws itself
};

// A place in dialog units.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlDescription {
    int id = kNoControlId;
    ControlClass kind = ControlClass::text;
    const char* text = "";
    DialogRect place;
    // Edits: most characters accepted (0 for no limit). Picture frames and icons: the bitmap or
    // icon resource the platform paints there (0 for none). Radio buttons: the control of the
    // same dialog that is shown while this button is chosen and hidden while another button
    // of its group is (0 for none).
    int data = 0;

    constexpr int max_length() const { return IsEditKind(kind) ? data : 0; }
    constexpr int image() const { return kind == ControlClass::picture_frame || kind == ControlClass::icon ? data : 0; }
    constexpr int revealed() const { return IsRadioKind(kind) ? data : 0; }
    static constexpr bool IsEditKind(ControlClass kind) {
        return kind == ControlClass::edit || kind == ControlClass::read_only_edit;
    }
    static constexpr bool IsRadioKind(ControlClass kind) {
        return kind == ControlClass::radio_first || kind == ControlClass::radio;
    }
};

struct DialogDescription {
    int id = 0;
    DialogRect place;
    DialogLook look = DialogLook::wizard;
    const char* caption = "";
    std::span<const ControlDescription> controls;

    constexpr const ControlDescription* Find(int control_id) const {
        if (control_id == kNoControlId) return nullptr;
        for (const auto& control : controls)
            if (control.id == control_id) return &control;
        return nullptr;
    }
    // The template text of a control; empty when the dialog has no such control.
    constexpr const char* Text(int control_id) const {
        for (const auto& control : controls)
            if (control.id == control_id && control_id != kNoControlId) return control.text;
        return "";
    }
    // The radio buttons of the group that control_id belongs to: from its group's first button
    // to the last radio button before the next group or another kind of control. Empty when
    // control_id is no radio button.
    constexpr std::span<const ControlDescription> RadioGroupOf(int control_id) const {
        const ControlDescription* found = Find(control_id);
        if (!found || !ControlDescription::IsRadioKind(found->kind)) return {};
        size_t first = size_t(found - controls.data());
        while (first > 0 && controls[first].kind != ControlClass::radio_first &&
               ControlDescription::IsRadioKind(controls[first - 1].kind))
            --first;
        size_t end = first + 1;
        while (end < controls.size() && controls[end].kind == ControlClass::radio) ++end;
        return controls.subspan(first, end - first);
    }
    // The icon the dialog shows in its icon places: the first icon control's; 0 for none named.
    constexpr int Icon() const {
        for (const auto& control : controls)
            if (control.kind == ControlClass::icon) return control.image();
        return 0;
    }
    // The most characters an edit accepts; 0 when it has no limit or is no edit.
    constexpr int MaxLength(int control_id) const {
        for (const auto& control : controls)
            if (control.id == control_id && control_id != kNoControlId) return control.max_length();
        return 0;
    }
};

// The page-model kind a control of this class has; nothing for decoration (frames, lines,
// icons, bars), which a page model does not carry.
std::optional<ControlKind> ModelKind(ControlClass kind);

// The page model of a dialog as its template shows it: its id, caption and every control that
// has an id and a model kind, in template order, with its template text and limit. Check boxes
// and radio buttons start unticked.
PageModel ModelOf(const DialogDescription& dialog);

}  // namespace rvx::platform
