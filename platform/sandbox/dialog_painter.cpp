// Painting a dialog from its description.
#include "platform/sandbox/dialog_painter.h"

#include <algorithm>

#include "platform/painting/percent_bar_painter.h"

namespace rvx::sandbox {

using platform::BorderStyle;
using platform::ControlClass;
using platform::ControlDescription;
using platform::Font;
using platform::TextLayout;
using platform::painting::kBarFont;
using platform::painting::PaintPercentBar;

namespace {

// The dialog font at 8 points on a display of 96 dots per inch, as the bars are written in.
const Font& DialogFont() { return kBarFont; }
const Font kCaptionFont{platform::kDialogFont, -11, platform::kBoldWeight, false};

constexpr int kCheckSize = 13;  // the box of a check box or radio button, in pixels

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    // Rounded to the nearer whole, halves away from zero, as the system's MulDiv does.
    return static_cast<int>(product >= 0 ? (product + denominator / 2) / denominator : (product - denominator / 2) / denominator);
}

void Line(Canvas& canvas, int left, int top, int right, int bottom, Colour colour) { canvas.FillRect({left, top, right, bottom}, colour); }

// Two-colour edges: upper and left in one colour, lower and right in the other.
void Edges(Canvas& canvas, const Rect& area, Colour upper, Colour lower) {
    Line(canvas, area.left, area.top, area.right, area.top + 1, upper);
    Line(canvas, area.left, area.top, area.left + 1, area.bottom, upper);
    Line(canvas, area.left, area.bottom - 1, area.right, area.bottom, lower);
    Line(canvas, area.right - 1, area.top, area.right, area.bottom, lower);
}

void Raised(Canvas& canvas, const Rect& area) {
    Edges(canvas, area, kButtonHighlight, kTextColour);
    Edges(canvas, area.Shrunk(1), kButtonFace, kButtonShadow);
}

void Sunken(Canvas& canvas, const Rect& area) {
    Edges(canvas, area, kButtonShadow, kButtonHighlight);
    Edges(canvas, area.Shrunk(1), kTextColour, kButtonFace);
}

void Etched(Canvas& canvas, const Rect& area) {
    Edges(canvas, area, kButtonShadow, kButtonHighlight);
    Edges(canvas, area.Shrunk(1), kButtonHighlight, kButtonShadow);
}

// The text of a one-line field, from the left and centred vertically.
void FieldText(Canvas& canvas, const std::string& text, const Rect& area, Colour colour) {
    const Size size = canvas.MeasureText(text, DialogFont());
    const int top = area.top + (area.height() - size.height) / 2;
    canvas.WriteText(text, {area.left, top, area.right, area.bottom}, DialogFont(), colour, TextLayout::word_wrap);
}

// A label as the system shows it: "&" marks the next letter as the control's access key (drawn
// underlined on the system, plain here) and "&&" stands for an "&".
std::string Shown(std::string_view label) {
    std::string shown;
    for (size_t at = 0; at < label.size(); ++at) {
        if (label[at] == '&' && at + 1 < label.size()) ++at;
        else if (label[at] == '&') continue;
        shown += label[at];
    }
    return shown;
}

void PaintControl(Canvas& canvas, const ControlDescription& control, ControlLook look, const Rect& area) {
    const Colour text_colour = look.enabled ? kTextColour : kGreyTextColour;
    const bool edit_like = control.kind == ControlClass::edit || control.kind == ControlClass::read_only_edit ||
                           control.kind == ControlClass::licence_text || control.kind == ControlClass::list_box;
    if (!edit_like) look.text = Shown(look.text);
    switch (control.kind) {
    case ControlClass::text:
        canvas.WriteText(look.text, area, DialogFont(), text_colour, TextLayout::word_wrap);
        break;
    case ControlClass::edit:
    case ControlClass::read_only_edit:
    case ControlClass::licence_text:
    case ControlClass::list_box: {
        const bool writable = control.kind == ControlClass::edit && look.enabled;
        canvas.FillRect(area, writable ? kWindowColour : kButtonFace);
        Sunken(canvas, area);
        const Rect inside{area.left + 4, area.top + 2, area.right - 2, area.bottom - 2};
        if (control.kind == ControlClass::licence_text || control.kind == ControlClass::list_box)
            canvas.WriteText(look.text, inside, DialogFont(), text_colour, TextLayout::word_wrap);
        else
            FieldText(canvas, look.text, inside, text_colour);
        break;
    }
    case ControlClass::check_box:
    case ControlClass::radio_first:
    case ControlClass::radio: {
        const int top = area.top + (area.height() - kCheckSize) / 2;
        const Rect box{area.left, top, area.left + kCheckSize, top + kCheckSize};
        canvas.FillRect(box, kWindowColour);
        Sunken(canvas, box);
        if (look.checked) canvas.FillRect(box.Shrunk(4), text_colour);
        FieldText(canvas, look.text, {box.right + 4, area.top, area.right, area.bottom}, text_colour);
        break;
    }
    case ControlClass::button:
    case ControlClass::default_button: {
        Rect face = area;
        if (control.kind == ControlClass::default_button) {
            canvas.DrawBorder(area, BorderStyle::outline);
            face = area.Shrunk(1);
        }
        canvas.FillRect(face, kButtonFace);
        Raised(canvas, face);
        canvas.WriteText(look.text, face, DialogFont(), text_colour, TextLayout::centred_line);
        break;
    }
    case ControlClass::picture_frame:
    case ControlClass::frame:
        Etched(canvas, area);
        break;
    case ControlClass::etched_line:
        Line(canvas, area.left, area.top, area.right, area.top + 1, kButtonShadow);
        Line(canvas, area.left, area.top + 1, area.right, area.top + 2, kButtonHighlight);
        break;
    case ControlClass::icon:
        break;  // the platform's icon, which a picture does not have
    case ControlClass::progress_bar: {
        Sunken(canvas, area);
        Rect filled = area.Shrunk(2);
        filled.right = filled.left + filled.width() * std::clamp(look.percent, 0, 100) / 100;
        if (!filled.empty()) canvas.FillRect(filled, kProgressColour);
        break;
    }
    case ControlClass::percent_bar:
        PaintPercentBar(canvas, area, look.percent, look.bar_colour);
        break;
    }
}

}  // namespace

Size DialogBaseUnits(const Canvas& canvas) {
    const Size letters = canvas.MeasureText("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", DialogFont());
    return {(letters.width / 26 + 1) / 2, canvas.MeasureText("X", DialogFont()).height};
}

Rect DialogUnitsToPixels(const DialogRect& place, Size base) {
    const int left = MulDiv(place.x, base.width, 4);
    const int top = MulDiv(place.y, base.height, 8);
    return {left, top, left + MulDiv(place.width, base.width, 4), top + MulDiv(place.height, base.height, 8)};
}

Rect CentredDialogWindow(const Canvas& canvas, const DialogDescription& dialog) {
    const Rect client = DialogUnitsToPixels({0, 0, dialog.place.width, dialog.place.height}, DialogBaseUnits(canvas));
    const int width = client.width() + 2 * kFrameWidth;
    const int height = client.height() + 2 * kFrameWidth + kCaptionHeight;
    const Size screen = canvas.ClientSize();
    const int left = (screen.width - width) / 2;
    const int top = (screen.height - height) / 2;
    return {left, top, left + width, top + height};
}

Rect ClientArea(const Rect& window) {
    return {window.left + kFrameWidth, window.top + kFrameWidth + kCaptionHeight, window.right - kFrameWidth,
            window.bottom - kFrameWidth};
}

void PaintDialog(Canvas& canvas, const DialogScene& scene) {
    if (!scene.dialog) return;
    const Rect window = CentredDialogWindow(canvas, *scene.dialog);
    canvas.FillRect(window, kButtonFace);
    Raised(canvas, window);
    const Rect caption{window.left + kFrameWidth, window.top + kFrameWidth, window.right - kFrameWidth,
                       window.top + kFrameWidth + kCaptionHeight - 1};
    canvas.FillRect(caption, kCaptionColour);
    canvas.WriteText(scene.caption, {caption.left + 4, caption.top, caption.right, caption.bottom}, kCaptionFont, kButtonHighlight,
                     TextLayout::word_wrap);

    const Rect client = ClientArea(window);
    const Size base = DialogBaseUnits(canvas);
    for (const ControlDescription& control : scene.dialog->controls) {
        ControlLook look;
        look.text = control.text;
        if (auto found = scene.looks.find(control.id); found != scene.looks.end() && control.id != platform::kNoControlId) look = found->second;
        if (!look.visible) continue;
        PaintControl(canvas, control, look, DialogUnitsToPixels(control.place, base).Moved(client.left, client.top));
    }
}

}  // namespace rvx::sandbox
