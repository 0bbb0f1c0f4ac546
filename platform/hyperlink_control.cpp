// The hyperlink control's logic.
#include "platform/hyperlink_control.h"

#include <algorithm>

namespace rvx::platform {

Rect HyperlinkControl::FitToText(const Rect& area, std::string_view text, const HyperlinkStyle& style,
                                      const MeasureText& measure) {
    const Size extent = measure(text);
    const int width = std::clamp(extent.width, 0, std::max(area.width(), 0));
    const int height = std::clamp(extent.height, 0, std::max(area.height(), 0));
    Rect fitted = area;
    switch (style.horizontal) {
    case HorizontalAlignment::left: fitted.right = area.left + width; break;
    case HorizontalAlignment::centre:
        fitted.left = area.left + (area.width() - width) / 2;
        fitted.right = fitted.left + width;
        break;
    case HorizontalAlignment::right: fitted.left = area.right - width; break;
    }
    if (style.centre_vertically) fitted.top = area.top + (area.height() - height) / 2;
    fitted.bottom = fitted.top + height;
    return fitted;
}

void HyperlinkControl::OnClick(HyperlinkActions& actions, HyperlinkWindow& window) {
    const ShellCode code = actions.Open(target_);
    if (!code.opened()) {
        // A link visited before is drawn unvisited again.
        SetVisited(false, window);
        actions.ShowOpenError(code);
        return;
    }
    visited_ = true;
    window.Redraw();
    if (notify_command_ != 0) window.PostCommandToParent(notify_command_);
}

void HyperlinkControl::SetVisited(bool visited, HyperlinkWindow& window) {
    if (visited == visited_) return;
    visited_ = visited;
    window.Redraw();
}

}  // namespace rvx::platform
