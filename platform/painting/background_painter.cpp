// Painting of the background window.
#include "platform/painting/background_painter.h"

namespace rvx::platform::painting {
namespace {

constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kPaletteBlue{0, 0, 255};

uint8_t Faded(uint8_t component, int band, int bands) { return uint8_t(component - band * component / bands); }

}  // namespace

Font TitleFont(int window_width) {
    return Font{"Arial", window_width > kWideWindow ? kLargeTitleHeight : kSmallTitleHeight, kBoldWeight, true};
}

Colour GradientBase(const Canvas& canvas, Colour wanted) { return canvas.ColourCount() ? kPaletteBlue : wanted; }

void PaintGradient(Canvas& canvas, Colour wanted) {
    const Size client = canvas.ClientSize();
    const int bands = client.height / kBandHeight;
    const Colour base = GradientBase(canvas, wanted);
    for (int band = 0; band < bands; ++band) {
        const Rect area{0, band * client.height / bands, client.width, (band + 1) * client.height / bands};
        canvas.FillRect(area, Colour{Faded(base.red, band, bands), Faded(base.green, band, bands), Faded(base.blue, band, bands)});
    }
}

void PaintBackground(Canvas& canvas, const BackgroundScene& scene) {
    const Size client = canvas.ClientSize();
    if (scene.picture) canvas.DrawBitmap(*scene.picture, {0, 0, client.width, client.height});
    else PaintGradient(canvas, scene.base);

    const Font font = TitleFont(client.width);
    canvas.WriteText(scene.title, kTitleArea, font, kBlack, TextLayout::word_wrap);
    canvas.WriteText(scene.title, kTitleArea.Moved(-kTitleShadowOffset, -kTitleShadowOffset), font, kWhite, TextLayout::word_wrap);

    if (scene.small_picture) {
        const Bitmap& small = *scene.small_picture;
        canvas.DrawBitmapAt(small, {client.width - kSmallPictureMargin - small.width, client.height - kSmallPictureMargin - small.height});
    }
}

}  // namespace rvx::platform::painting
