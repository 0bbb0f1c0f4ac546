// Measuring text for layout: a control or a canvas hands its measuring to whatever lays text out,
// already bound to the font the text will be drawn in.
#pragma once

#include <functional>
#include <string_view>

namespace rvx::platform {

// The extent of one line of text, in pixels.
struct TextExtent {
    int width = 0;
    int height = 0;
};

// Measures one line of text in the font it was made for.
using MeasureText = std::function<TextExtent(std::string_view text)>;

// A rectangle in pixels, right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

}  // namespace rvx::platform
