// A surface to paint on, in the project's own terms: rectangles, colours, pictures decoded from
// bitmap files, borders and text in a named font. The painters of the background window and the
// percentage bars are written once against it; the Windows programs paint through the system's
// device contexts, the host programs into an image in memory.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace rvx::platform {

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    auto operator<=>(const Colour&) const = default;
};

// A picture decoded from a bitmap file: top row first, one colour per pixel. The colour table
// is kept when the file has one, so that a palette display can be given the picture's colours.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;        // width * height, row by row from the top
    std::vector<Colour> colour_table;  // empty for pictures of 16 bits and more per pixel

    Colour At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

inline constexpr int kNormalWeight = 400;
inline constexpr int kBoldWeight = 700;

// A font as Windows asks for one. A positive height is the character cell's height in pixels, a
// negative one the height of the characters themselves.
struct Font {
    std::string face;
    int height = 0;
    int weight = kNormalWeight;
    bool italic = false;
};

enum class TextLayout {
    word_wrap,     // from the rectangle's top left, lines broken between words to fit its width
    centred_line,  // one line, centred horizontally and vertically
};

enum class BorderStyle {
    sunken,   // one pixel: button shadow above and left, button highlight below and right
    outline,  // one black pixel all round, the inside left as it is
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // The area painted on, from (0, 0).
    virtual Size ClientSize() const = 0;
    // The number of colours the display reports; nothing when it reports none, which a display
    // of more than 256 colours does.
    virtual std::optional<int> ColourCount() const = 0;

    virtual void FillRect(const Rect& area, Colour colour) = 0;
    // The picture stretched over target.
    virtual void DrawBitmap(const Bitmap& picture, const Rect& target) = 0;
    virtual void DrawBorder(const Rect& area, BorderStyle style) = 0;
    // Text on a transparent background, clipped to area.
    virtual void WriteText(std::string_view text, const Rect& area, const Font& font, Colour colour, TextLayout layout) = 0;
    // The width and height of text written on one line.
    virtual Size MeasureText(std::string_view text, const Font& font) const = 0;

    // The picture at its own size with its top left corner at origin.
    void DrawBitmapAt(const Bitmap& picture, Point origin) {
        DrawBitmap(picture, {origin.x, origin.y, origin.x + picture.width, origin.y + picture.height});
    }
};

// How wide and high a text is in a font, for controls that lay out text themselves.
using TextMeasure = std::function<Size(std::string_view text, const Font& font)>;

// A measure that asks canvas; the canvas must outlive it.
inline TextMeasure MeasureWith(const Canvas& canvas) {
    return [&canvas](std::string_view text, const Font& font) { return canvas.MeasureText(text, font); };
}

}  // namespace rvx::platform
