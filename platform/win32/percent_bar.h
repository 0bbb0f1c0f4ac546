// The progress page's percentage bar: a sunken border, the share filled in the bar's colour and
// the percentage written in its middle, painted by the portable bar painter
// (platform/painting/percent_bar_painter.h). One drawing for every bar of the programs.
#pragma once

#include "platform/painting/percent_bar_painter.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

// The painter's bar colours, as the system spells them.
inline constexpr COLORREF kLowerBarColour = ToColorRef(platform::painting::kLowerBarColour);  // the current file
inline constexpr COLORREF kUpperBarColour = ToColorRef(platform::painting::kUpperBarColour);  // the whole stage

// Draws the bar into bounds; percent is clamped to 0..100.
void DrawPercentBar(HDC dc, RECT bounds, int percent, COLORREF colour);

}  // namespace rvx::win32
