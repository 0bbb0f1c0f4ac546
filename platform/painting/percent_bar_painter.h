// The painting of one percentage bar of the progress page: a sunken border, an outline, the
// share filled in the bar's colour and the percentage written in its middle.
#pragma once

#include "platform/canvas.h"

namespace rvx::platform::painting {

inline constexpr Colour kLowerBarColour{0, 255, 255};  // the current file
inline constexpr Colour kUpperBarColour{255, 0, 255};  // the whole stage
// The progress page's font: MS Sans Serif of 8 points, on a display of 96 dots per inch.
inline const Font kBarFont{"MS Sans Serif", -11, kNormalWeight, false};

// percent is clamped to 0..100; no text is written for 0.
void PaintPercentBar(Canvas& canvas, const Rect& bounds, int percent, Colour colour);

}  // namespace rvx::platform::painting
