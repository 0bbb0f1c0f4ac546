// Painting into an image in memory, and writing it as PNG.
#include "platform/sandbox/raster_canvas.h"

#include <algorithm>

#include <png.h>

namespace rvx::sandbox {
namespace {

static_assert(sizeof(platform::Colour) == 3, "PNG rows are written straight from the pixels");

constexpr platform::Colour kOutlinePen{0, 0, 0};

platform::Rect Intersect(const platform::Rect& a, const platform::Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

}  // namespace

void RasterCanvas::Plot(int x, int y, platform::Colour colour, const platform::Rect& clip) {
    if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return;
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
    image_.At(x, y) = colour;
}

void RasterCanvas::FillRect(const platform::Rect& area, platform::Colour colour) {
    const platform::Rect clip = Intersect(area, {0, 0, image_.width, image_.height});
    for (int y = clip.top; y < clip.bottom; ++y)
        for (int x = clip.left; x < clip.right; ++x) image_.At(x, y) = colour;
}

void RasterCanvas::DrawBitmap(const platform::Bitmap& picture, const platform::Rect& target) {
    if (target.empty() || picture.width <= 0 || picture.height <= 0) return;
    const platform::Rect clip = Intersect(target, {0, 0, image_.width, image_.height});
    // Each target pixel takes the picture's pixel it falls on, without blending, as a stretch
    // that keeps the picture's own colours does.
    for (int y = clip.top; y < clip.bottom; ++y) {
        const int source_y = int(int64_t(y - target.top) * picture.height / target.height());
        for (int x = clip.left; x < clip.right; ++x) {
            const int source_x = int(int64_t(x - target.left) * picture.width / target.width());
            image_.At(x, y) = picture.At(source_x, source_y);
        }
    }
}

void RasterCanvas::DrawBorder(const platform::Rect& area, platform::BorderStyle style) {
    if (area.empty()) return;
    const platform::Rect all{0, 0, image_.width, image_.height};
    const int right = area.right - 1;
    const int bottom = area.bottom - 1;
    const platform::Colour upper = style == platform::BorderStyle::sunken ? kButtonShadow : kOutlinePen;
    const platform::Colour lower = style == platform::BorderStyle::sunken ? kButtonHighlight : kOutlinePen;
    // The upper left edges first, so that the lower right ones own the two far corners.
    for (int x = area.left; x <= right; ++x) Plot(x, area.top, upper, all);
    for (int y = area.top; y <= bottom; ++y) Plot(area.left, y, upper, all);
    for (int x = area.left + 1; x <= right; ++x) Plot(x, bottom, lower, all);
    for (int y = area.top + 1; y <= bottom; ++y) Plot(right, y, lower, all);
}

void RasterCanvas::DrawLine(std::string_view text, int left, int top, SizedFont& font, platform::Colour colour,
                            const platform::Rect& clip) {
    const int base_line = top + font.ascent();
    int pen = left;
    for (char character : text) {
        const GlyphMask& glyph = font.Glyph(static_cast<unsigned char>(character));
        for (int y = 0; y < glyph.rows; ++y)
            for (int x = 0; x < glyph.width; ++x)
                if (glyph.set[size_t(y) * size_t(glyph.width) + size_t(x)]) Plot(pen + glyph.left + x, base_line - glyph.top + y, colour, clip);
        pen += glyph.advance;
    }
}

void RasterCanvas::WriteText(std::string_view text, const platform::Rect& area, const platform::Font& font,
                            platform::Colour colour, platform::TextLayout layout) {
    SizedFont& sized = fonts_.Sized(font);
    const int line_height = sized.ascent() + sized.descent();
    if (layout == platform::TextLayout::centred_line) {
        const platform::Size size = MeasureText(text, font);
        DrawLine(text, area.left + (area.width() - size.width) / 2, area.top + (area.height() - size.height) / 2, sized, colour, area);
        return;
    }
    int top = area.top;
    for (const std::string& line : WrapText(text, area.width(), HostTextMeasure(fonts_), font)) {
        if (top >= area.bottom) break;
        DrawLine(line, area.left, top, sized, colour, area);
        top += line_height;
    }
}

platform::Size RasterCanvas::MeasureText(std::string_view text, const platform::Font& font) const {
    return fonts_.Measure(text, font);
}

std::vector<std::string> WrapText(std::string_view text, int width, const platform::TextMeasure& measure, const platform::Font& font) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        std::string line;
        size_t at = 0;
        while (at < paragraph.size()) {
            const size_t blank = std::min(paragraph.find(' ', at), paragraph.size());
            const std::string_view word = paragraph.substr(at, blank - at);
            const std::string longer = line.empty() ? std::string(word) : line + " " + std::string(word);
            if (!line.empty() && measure(longer, font).width > width) {
                lines.push_back(line);
                line = std::string(word);
            } else {
                line = longer;
            }
            at = blank + 1;
        }
        lines.push_back(line);
        if (end == text.size()) break;
        start = end + 1;
    }
    return lines;
}

platform::Outcome WritePng(const RasterImage& image, const std::string& host_path) {
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, host_path.c_str(), 0, image.pixels.data(), 0, nullptr)) {
        const std::string reason = png.message;
        png_image_free(&png);
        return platform::Fail(platform::Status::io_error, "the picture " + host_path + " was not written: " + reason);
    }
    return {};
}

}  // namespace rvx::sandbox
