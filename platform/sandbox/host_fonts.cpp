// Fonts of the host's pictures through FreeType.
#include "platform/sandbox/host_fonts.h"

#include <algorithm>
#include <array>
#include <optional>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

namespace rvx::sandbox {
namespace {

constexpr int kBoldFrom = 600;  // weights from semi-bold up take the bold face

// The four faces, in the order regular, bold, italic, bold italic.
constexpr std::array<const char*, 4> kFaceFiles = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                                   "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"};

// The characters 0x80 to 0x9F of the Windows Latin code page, which the programs' texts use;
// the others are those of Latin-1.
constexpr std::array<uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

unsigned long CodePoint(unsigned char character) {
    return character >= 0x80 && character < 0xA0 ? kWindows1252High[character - 0x80] : character;
}

class FreeTypeFont : public SizedFont {
public:
    FreeTypeFont(FT_Face face, int height) : face_(face) {
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const long win_ascent = os2 ? os2->usWinAscent : face->ascender;
        const long win_descent = os2 ? os2->usWinDescent : -face->descender;
        const long cell = std::max(1L, win_ascent + win_descent);
        const long units = face->units_per_EM;
        if (height > 0) {
            // A cell height: the em is the part of the cell that the font's design gives it.
            size_ = FT_F26Dot6(height * units * 64 / cell);
            ascent_ = int((win_ascent * height + cell / 2) / cell);
            descent_ = height - ascent_;
        } else {
            const long em = std::max(1, -height);
            size_ = FT_F26Dot6(em * 64);
            ascent_ = int((win_ascent * em + units / 2) / units);
            descent_ = int((win_descent * em + units / 2) / units);
        }
    }

    int ascent() const override { return ascent_; }
    int descent() const override { return descent_; }

    const GlyphMask& Glyph(unsigned char character) override {
        std::optional<GlyphMask>& slot = glyphs_[character];
        if (slot) return *slot;
        slot.emplace();
        FT_Set_Char_Size(face_, 0, size_, 72, 72);
        if (FT_Load_Char(face_, CodePoint(character), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return *slot;
        const FT_GlyphSlot glyph = face_->glyph;
        GlyphMask& mask = *slot;
        mask.left = glyph->bitmap_left;
        mask.top = glyph->bitmap_top;
        mask.width = int(glyph->bitmap.width);
        mask.rows = int(glyph->bitmap.rows);
        mask.advance = int((glyph->advance.x + 32) >> 6);
        mask.set.resize(size_t(mask.width) * size_t(mask.rows));
        for (int y = 0; y < mask.rows; ++y) {
            const unsigned char* row = glyph->bitmap.buffer + ptrdiff_t(y) * glyph->bitmap.pitch;
            for (int x = 0; x < mask.width; ++x) {
                const bool on = glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x / 8] >> (7 - x % 8)) & 1 : row[x] >= 128;
                mask.set[size_t(y) * size_t(mask.width) + size_t(x)] = on;
            }
        }
        return mask;
    }

private:
    FT_Face face_;
    FT_F26Dot6 size_ = 0;
    int ascent_ = 0;
    int descent_ = 0;
    std::array<std::optional<GlyphMask>, 256> glyphs_;
};

}  // namespace

struct HostFonts::Library {
    FT_Library library = nullptr;
    std::array<FT_Face, 4> faces{};
    ~Library() {
        for (FT_Face face : faces)
            if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

HostFonts::HostFonts(std::unique_ptr<Library> library) : library_(std::move(library)) {}
HostFonts::~HostFonts() = default;

platform::Result<std::unique_ptr<HostFonts>> HostFonts::Open(const std::string& folder) {
    auto library = std::make_unique<Library>();
    if (FT_Init_FreeType(&library->library) != 0) return platform::Fail(platform::Status::io_error, "FreeType did not start");
    for (size_t i = 0; i < kFaceFiles.size(); ++i) {
        const std::string path = folder + "/" + kFaceFiles[i];
        if (FT_New_Face(library->library, path.c_str(), 0, &library->faces[i]) != 0) {
            library->faces[i] = nullptr;
            return platform::Fail(platform::Status::not_found, "the font " + path +
                                  " cannot be read: install the Debian package fonts-liberation2");
        }
    }
    return std::unique_ptr<HostFonts>(new HostFonts(std::move(library)));
}

SizedFont& HostFonts::Sized(const platform::Font& font) {
    const bool bold = font.weight >= kBoldFrom;
    auto key = std::make_tuple(bold ? 1 : 0, font.italic, font.height);
    auto& slot = sized_[key];
    if (!slot) slot = std::make_unique<FreeTypeFont>(library_->faces[(font.italic ? 2 : 0) + (bold ? 1 : 0)], font.height);
    return *slot;
}

platform::Size HostFonts::Measure(std::string_view text, const platform::Font& font) {
    SizedFont& sized = Sized(font);
    int width = 0;
    for (char character : text) width += sized.Glyph(static_cast<unsigned char>(character)).advance;
    return {width, sized.ascent() + sized.descent()};
}

platform::TextMeasure HostTextMeasure(HostFonts& fonts) {
    return [&fonts](std::string_view text, const platform::Font& font) { return fonts.Measure(text, font); };
}

}  // namespace rvx::sandbox
