// The canvas of the Windows programs: paints through a device context, pictures as
// device-independent bitmaps (with a palette selected and realised for a picture that has a
// colour table), text in fonts the system makes from the requested face, height and weight.
#pragma once

#include "platform/canvas.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

inline constexpr COLORREF ToColorRef(platform::Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

class GdiCanvas : public platform::Canvas {
public:
    // dc stays the caller's; what the canvas selects into it is put back after each call.
    GdiCanvas(HDC dc, platform::Size client) : dc_(dc), client_(client) {}

    platform::Size ClientSize() const override { return client_; }
    std::optional<int> ColourCount() const override;
    void FillRect(const platform::Rect& area, platform::Colour colour) override;
    void DrawBitmap(const platform::Bitmap& picture, const platform::Rect& target) override;
    void DrawBorder(const platform::Rect& area, platform::BorderStyle style) override;
    void WriteText(std::string_view text, const platform::Rect& area, const platform::Font& font, platform::Colour colour,
                   platform::TextLayout layout) override;
    platform::Size MeasureText(std::string_view text, const platform::Font& font) const override;

private:
    HDC dc_;
    platform::Size client_;
};

// A measure on the screen's device context, for controls that lay out text themselves.
platform::TextMeasure ScreenTextMeasure();

}  // namespace rvx::win32
