// Drawing of a percentage bar through the bar painter.
#include "platform/win32/percent_bar.h"

#include "platform/win32/gdi_canvas.h"

namespace rvx::win32 {

void DrawPercentBar(HDC dc, RECT bounds, int percent, COLORREF colour) {
    GdiCanvas canvas(dc, {bounds.right, bounds.bottom});
    platform::painting::PaintPercentBar(canvas, {bounds.left, bounds.top, bounds.right, bounds.bottom}, percent,
                                        platform::Colour{GetRValue(colour), GetGValue(colour), GetBValue(colour)});
}

}  // namespace rvx::win32
