// The host's canvas: paints into an image in memory, which can be written as a PNG file, so
// that the simulated machine's screen can be looked at and tested pixel by pixel.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/result.h"
#include "platform/sandbox/host_fonts.h"

namespace rvx::sandbox {

struct RasterImage {
    int width = 0;
    int height = 0;
    std::vector<platform::Colour> pixels;  // row by row from the top

    RasterImage(int w, int h, platform::Colour fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    platform::Colour At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    platform::Colour& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// The system colours of the standard scheme, which the host's pictures are drawn with.
inline constexpr platform::Colour kButtonShadow{128, 128, 128};
inline constexpr platform::Colour kButtonHighlight{255, 255, 255};
inline constexpr platform::Colour kButtonFace{192, 192, 192};

class RasterCanvas : public platform::Canvas {
public:
    // colours: what the display reports, nothing for more than 256 colours.
    RasterCanvas(RasterImage& image, std::optional<int> colours, HostFonts& fonts)
        : image_(image), colours_(colours), fonts_(fonts) {}

    platform::Size ClientSize() const override { return {image_.width, image_.height}; }
    std::optional<int> ColourCount() const override { return colours_; }
    void FillRect(const platform::Rect& area, platform::Colour colour) override;
    void DrawBitmap(const platform::Bitmap& picture, const platform::Rect& target) override;
    void DrawBorder(const platform::Rect& area, platform::BorderStyle style) override;
    void WriteText(std::string_view text, const platform::Rect& area, const platform::Font& font, platform::Colour colour,
                  platform::TextLayout layout) override;
    platform::Size MeasureText(std::string_view text, const platform::Font& font) const override;

private:
    void Plot(int x, int y, platform::Colour colour, const platform::Rect& clip);
    void DrawLine(std::string_view text, int left, int top, SizedFont& font, platform::Colour colour, const platform::Rect& clip);

    RasterImage& image_;
    std::optional<int> colours_;
    HostFonts& fonts_;
};

// Lines of text as a word-wrapping layout breaks them to fit width: between words, and at
// line breaks; a word wider than the whole width keeps a line of its own.
std::vector<std::string> WrapText(std::string_view text, int width, const platform::TextMeasure& measure, const platform::Font& font);

platform::Outcome WritePng(const RasterImage& image, const std::string& host_path);

}  // namespace rvx::sandbox
