// The painting of the installer's full-screen background window: the picture stretched over the
// window or a gradient fading from the base colour towards black, the title in large italic
// letters with a shadow, and the small picture near the bottom right corner.
#pragma once

#include <optional>
#include <string>

#include "platform/canvas.h"

namespace rvx::platform::painting {

// What the background shows, with its pictures already read.
struct BackgroundScene {
    std::string title;
    std::optional<Bitmap> picture;        // stretched over the whole window; none: the gradient
    std::optional<Bitmap> small_picture;  // at its own size near the bottom right corner
    Colour base{0, 0, 255};               // the gradient's colour at the top
};

// The title's place and fonts; the title is word-wrapped inside the rectangle.
inline constexpr Rect kTitleArea{23, 15, 800, 300};
inline constexpr int kTitleShadowOffset = 2;  // the white text sits this far above and left of the black
inline constexpr int kWideWindow = 640;       // wider windows get the larger title
inline constexpr int kLargeTitleHeight = 45;
inline constexpr int kSmallTitleHeight = 32;
inline constexpr int kSmallPictureMargin = 20;  // from the right and bottom edges
inline constexpr int kBandHeight = 10;          // about how high one gradient band is

Font TitleFont(int window_width);

// The gradient's base colour on this display: the scene's colour where the display has more
// than 256 colours, else pure blue, which a palette always holds.
Colour GradientBase(const Canvas& canvas, Colour wanted);

void PaintGradient(Canvas& canvas, Colour wanted);
void PaintBackground(Canvas& canvas, const BackgroundScene& scene);

}  // namespace rvx::platform::painting
