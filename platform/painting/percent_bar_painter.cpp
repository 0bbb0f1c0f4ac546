// Painting of a percentage bar.
#include "platform/painting/percent_bar_painter.h"

#include <algorithm>
#include <string>

namespace rvx::platform::painting {

void PaintPercentBar(Canvas& canvas, const Rect& bounds, int percent, Colour colour) {
    percent = std::clamp(percent, 0, 100);
    canvas.DrawBorder(bounds, BorderStyle::sunken);
    const Rect inside = bounds.Shrunk(1);
    canvas.DrawBorder(inside, BorderStyle::outline);
    Rect filled = inside;
    filled.right = inside.left + inside.width() * percent / 100;
    if (!filled.empty()) canvas.FillRect(filled, colour);
    if (percent > 0) canvas.WriteText(std::to_string(percent) + "%", inside, kBarFont, Colour{0, 0, 0}, TextLayout::centred_line);
}

}  // namespace rvx::platform::painting
