// Drawing of a percentage bar.
#include "platform/win32/percent_bar.h"

#include <algorithm>
#include <string>

namespace rvx::win32 {

void DrawPercentBar(HDC dc, RECT bounds, int percent, COLORREF colour) {
    percent = std::clamp(percent, 0, 100);
    // A sunken border one pixel wide: shadow above and left, highlight below and right.
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ old_pen = SelectObject(dc, shadow);
    MoveToEx(dc, bounds.left, bounds.bottom - 1, nullptr);
    LineTo(dc, bounds.left, bounds.top);
    LineTo(dc, bounds.right - 1, bounds.top);
    SelectObject(dc, highlight);
    LineTo(dc, bounds.right - 1, bounds.bottom - 1);
    LineTo(dc, bounds.left, bounds.bottom - 1);
    SelectObject(dc, old_pen);
    DeleteObject(shadow);
    DeleteObject(highlight);

    InflateRect(&bounds, -1, -1);
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    SelectObject(dc, old_brush);

    RECT filled = bounds;
    filled.right = bounds.left + (bounds.right - bounds.left) * percent / 100;
    HBRUSH fill = CreateSolidBrush(colour);
    FillRect(dc, &filled, fill);
    DeleteObject(fill);

    if (percent > 0) {
        const std::string label = std::to_string(percent) + "%";
        const int old_mode = SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, label.c_str(), int(label.size()), &bounds, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetBkMode(dc, old_mode);
    }
}

}  // namespace rvx::win32
