// The progress page's percentage bar: a sunken border, the share filled in the bar's colour and
// the percentage written in its middle. One drawing for every bar of the programs.
#pragma once

#include "platform/win32/win32_api.h"

namespace rvx::win32 {

inline constexpr COLORREF kLowerBarColour = RGB(0, 255, 255);  // the current file
inline constexpr COLORREF kUpperBarColour = RGB(255, 0, 255);  // the whole stage

// Draws the bar into bounds; percent is clamped to 0..100.
void DrawPercentBar(HDC dc, RECT bounds, int percent, COLORREF colour);

}  // namespace rvx::win32
