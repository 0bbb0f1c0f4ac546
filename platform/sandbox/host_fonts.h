// The fonts of the host's pictures: the Windows faces the programs ask for, drawn with
// metric-compatible free fonts through FreeType (Liberation Sans for "Arial" and the dialog
// font), rendered without smoothing, as the system draws its dialogs.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/canvas.h"
#include "platform/result.h"

namespace rvx::sandbox {

// Where the Debian package fonts-liberation2 puts its fonts.
inline constexpr const char* kDefaultFontFolder = "/usr/share/fonts/truetype/liberation2";

// One glyph as a mask of set pixels, placed against the pen position on the base line.
struct GlyphMask {
    int left = 0;     // from the pen position to the mask's first column
    int top = 0;      // from the base line up to the mask's first row
    int width = 0;
    int rows = 0;
    int advance = 0;  // how far the pen moves on
    std::vector<bool> set;
};

// A font at one size: its line metrics and its glyphs.
class SizedFont {
public:
    virtual ~SizedFont() = default;
    virtual int ascent() const = 0;
    virtual int descent() const = 0;
    virtual const GlyphMask& Glyph(unsigned char character) = 0;
};

class HostFonts {
public:
    // Loads the regular, bold, italic and bold italic faces from folder.
    static platform::Result<std::unique_ptr<HostFonts>> Open(const std::string& folder = kDefaultFontFolder);
    ~HostFonts();
    HostFonts(const HostFonts&) = delete;
    HostFonts& operator=(const HostFonts&) = delete;

    // The face standing in for font, at its size (kept for later calls).
    SizedFont& Sized(const platform::Font& font);

    // The width and height of text on one line; separable from any canvas.
    platform::Size Measure(std::string_view text, const platform::Font& font);

    struct Library;

private:
    explicit HostFonts(std::unique_ptr<Library> library);
    std::unique_ptr<Library> library_;
    std::map<std::tuple<int, bool, int>, std::unique_ptr<SizedFont>> sized_;  // by weight class, italic, height
};

// A measure for controls that lay out text, backed by fonts; fonts must outlive it.
platform::TextMeasure HostTextMeasure(HostFonts& fonts);

}  // namespace rvx::sandbox
