// Painting through a device context.
#include "platform/win32/gdi_canvas.h"

#include <algorithm>
#include <string>
#include <vector>

namespace rvx::win32 {
namespace {

constexpr int kMaxPaletteEntries = 256;

RECT ToRect(const platform::Rect& area) { return RECT{area.left, area.top, area.right, area.bottom}; }

HFONT MakeFont(const platform::Font& font) {
    return CreateFontA(font.height, 0, 0, 0, font.weight, font.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face.c_str());
}

// A font selected into a device context for as long as the object lives.
class SelectedFont {
public:
    SelectedFont(HDC dc, const platform::Font& font) : dc_(dc), font_(MakeFont(font)) {
        if (font_) old_ = SelectObject(dc_, font_);
    }
    ~SelectedFont() {
        if (!font_) return;
        SelectObject(dc_, old_);
        DeleteObject(font_);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_ = nullptr;
};

// The picture's colour table as a logical palette.
HPALETTE MakePalette(const std::vector<platform::Colour>& table) {
    const size_t count = std::min(table.size(), size_t(kMaxPaletteEntries));
    std::vector<unsigned char> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = WORD(count);
    for (size_t i = 0; i < count; ++i)
        palette->palPalEntry[i] = PALETTEENTRY{table[i].red, table[i].green, table[i].blue, 0};
    return CreatePalette(palette);
}

}  // namespace

std::optional<int> GdiCanvas::ColourCount() const {
    const int colours = GetDeviceCaps(dc_, NUMCOLORS);
    if (colours < 0) return std::nullopt;
    return colours;
}

void GdiCanvas::FillRect(const platform::Rect& area, platform::Colour colour) {
    const RECT rect = ToRect(area);
    HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
    ::FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

void GdiCanvas::DrawBitmap(const platform::Bitmap& picture, const platform::Rect& target) {
    if (picture.width <= 0 || picture.height <= 0) return;
    // The decoded picture goes to the system as a top-down bitmap of 32 bits per pixel.
    std::vector<DWORD> bits(picture.pixels.size());
    for (size_t i = 0; i < bits.size(); ++i) {
        const platform::Colour c = picture.pixels[i];
        bits[i] = DWORD(c.blue) | DWORD(c.green) << 8 | DWORD(c.red) << 16;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HPALETTE palette = picture.colour_table.empty() ? nullptr : MakePalette(picture.colour_table);
    HPALETTE old_palette = nullptr;
    if (palette) {
        old_palette = SelectPalette(dc_, palette, FALSE);
        RealizePalette(dc_);
    }
    const int old_mode = SetStretchBltMode(dc_, COLORONCOLOR);
    StretchDIBits(dc_, target.left, target.top, target.width(), target.height(), 0, 0, picture.width, picture.height,
                  bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc_, old_mode);
    if (palette) {
        SelectPalette(dc_, old_palette, FALSE);
        DeleteObject(palette);
    }
}

void GdiCanvas::DrawBorder(const platform::Rect& area, platform::BorderStyle style) {
    if (style == platform::BorderStyle::outline) {
        HGDIOBJ old_pen = SelectObject(dc_, GetStockObject(BLACK_PEN));
        HGDIOBJ old_brush = SelectObject(dc_, GetStockObject(HOLLOW_BRUSH));
        Rectangle(dc_, area.left, area.top, area.right, area.bottom);
        SelectObject(dc_, old_brush);
        SelectObject(dc_, old_pen);
        return;
    }
    // Shadow above and left, highlight below and right.
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ old_pen = SelectObject(dc_, shadow);
    MoveToEx(dc_, area.left, area.bottom - 1, nullptr);
    LineTo(dc_, area.left, area.top);
    LineTo(dc_, area.right - 1, area.top);
    SelectObject(dc_, highlight);
    LineTo(dc_, area.right - 1, area.bottom - 1);
    LineTo(dc_, area.left, area.bottom - 1);
    SelectObject(dc_, old_pen);
    DeleteObject(shadow);
    DeleteObject(highlight);
}

void GdiCanvas::WriteText(std::string_view text, const platform::Rect& area, const platform::Font& font,
                          platform::Colour colour, platform::TextLayout layout) {
    SelectedFont selected(dc_, font);
    const int old_mode = SetBkMode(dc_, TRANSPARENT);
    const COLORREF old_colour = SetTextColor(dc_, ToColorRef(colour));
    RECT rect = ToRect(area);
    const UINT format = layout == platform::TextLayout::word_wrap ? DT_WORDBREAK | DT_LEFT | DT_TOP
                                                                  : DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const std::string copy(text);
    DrawTextA(dc_, copy.c_str(), int(copy.size()), &rect, format);
    SetTextColor(dc_, old_colour);
    SetBkMode(dc_, old_mode);
}

platform::Size GdiCanvas::MeasureText(std::string_view text, const platform::Font& font) const {
    SelectedFont selected(dc_, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc_, text.data(), int(text.size()), &size);
    return {int(size.cx), int(size.cy)};
}

platform::TextMeasure ScreenTextMeasure() {
    return [](std::string_view text, const platform::Font& font) {
        HDC screen = GetDC(nullptr);
        const platform::Size size = GdiCanvas(screen, {}).MeasureText(text, font);
        ReleaseDC(nullptr, screen);
        return size;
    };
}

}  // namespace rvx::win32
