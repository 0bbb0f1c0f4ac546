// Measuring text for layout: a control or a canvas hands its measuring to whatever lays text out,
// already bound to the font the text will be drawn in.
#pragma once

#include <functional>
#include <string_view>

#include "platform/geometry.h"

namespace rvx::platform {

// Measures one line of text in the font it was made for.
using MeasureText = std::function<Size(std::string_view text)>;

}  // namespace rvx::platform
