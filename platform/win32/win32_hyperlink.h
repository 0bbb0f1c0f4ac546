// The hyperlink control on Windows: a static text control of a dialog, subclassed so that it
// sizes itself to its text, draws it underlined in the link colours, shows the hand cursor and
// opens its target when clicked (the logic is platform/hyperlink_control.h).
#pragma once

#include <string>

#include "platform/hyperlink_control.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

// Link colours: not yet visited, and visited.
inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);
inline constexpr COLORREF kVisitedLinkColour = RGB(128, 0, 128);

// Turns the static control into a hyperlink to target; notify_command 0 sends nothing after a
// visit. actions must outlive the control. False when the control cannot be subclassed.
bool MakeHyperlink(HWND static_control, std::string target, int notify_command, platform::HyperlinkActions& actions);

// Measures text in the window's current font (WM_GETFONT), as the window draws it.
platform::MeasureText MeasureInWindowFont(HWND window);

// The hyperlink style a static control's window style gives: SS_CENTER, SS_RIGHT or left, and
// SS_CENTERIMAGE for vertical centring.
platform::HyperlinkStyle HyperlinkStyleOf(LONG_PTR window_style);

}  // namespace rvx::win32
