// The painting of a dialog as its description lays it out, for pictures of a screen that has no
// system to draw the dialogs: the window's frame and caption, and each control in the look of
// the system's standard controls (texts, edits, buttons, check boxes, frames, bars). Sizes in
// dialog units are turned into pixels through the dialog font's base units, as the system does.
#pragma once

#include <map>
#include <string>

#include "platform/canvas.h"
#include "platform/dialog_description.h"
#include "platform/sandbox/raster_canvas.h"

namespace rvx::sandbox {

using platform::Canvas;
using platform::Colour;
using platform::DialogDescription;
using platform::DialogRect;
using platform::Rect;
using platform::Size;

// What one control shows instead of its template's text and state.
struct ControlLook {
    std::string text;   // a static's text, an edit's content, a button's caption
    bool visible = true;
    bool enabled = true;
    bool checked = false;  // check boxes and radio buttons
    int percent = 0;       // bars
    Colour bar_colour{0, 255, 255};  // percentage bars
};

struct DialogScene {
    const DialogDescription* dialog = nullptr;
    std::string caption;
    std::map<int, ControlLook> looks;  // by control id; a control without one shows its template
};

// The system's standard colours, which pictures of dialogs are drawn with (the button colours
// are the raster canvas's).
inline constexpr Colour kCaptionColour{0, 0, 128};
inline constexpr Colour kWindowColour{255, 255, 255};
inline constexpr Colour kTextColour{0, 0, 0};
inline constexpr Colour kGreyTextColour{128, 128, 128};
inline constexpr Colour kProgressColour{0, 0, 128};
inline constexpr int kFrameWidth = 3;      // a dialog frame's width on each side
inline constexpr int kCaptionHeight = 18;  // the caption bar below the top frame

// The dialog font's base units: the average width of the letters and the height of a line,
// which one dialog unit is a quarter and an eighth of.
Size DialogBaseUnits(const Canvas& canvas);
Rect DialogUnitsToPixels(const DialogRect& place, Size base_units);

// Where the dialog's window lies when centred on the canvas, frame and caption included.
Rect CentredDialogWindow(const Canvas& canvas, const DialogDescription& dialog);
// The window's client area inside window.
Rect ClientArea(const Rect& window);

// Paints the dialog centred on the canvas; nothing without a dialog.
void PaintDialog(Canvas& canvas, const DialogScene& scene);

}  // namespace rvx::sandbox
