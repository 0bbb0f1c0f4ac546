// Decodes the string blocks and dialog templates of a language library. Every count and offset
// comes from the file, so a cursor checks each read against the bytes that are there and the
// decoding stops at the first one that is not.
#include "platform/language_library.h"

#include "platform/pe_resources.h"

namespace rvx::platform {

namespace {

// Bytes 0x80-0x9F of code page 1252 and the characters they stand for (0 where the code page
// has none).
constexpr char16_t kHighHalf[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT: the header carries the dialog's font
constexpr size_t kStringsPerBlock = 16;

// A read position in a resource's data; every read fails once one has run past the end.
class Cursor {
public:
    explicit Cursor(std::span<const uint8_t> data) : data_(data) {}

    bool ok() const { return ok_; }
    uint16_t U16() {
        if (!Has(2)) return 0;
        const uint16_t value = static_cast<uint16_t>(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    uint32_t U32() { return uint32_t{U16()} | uint32_t{U16()} << 16; }
    int16_t S16() { return static_cast<int16_t>(U16()); }
    void Skip(size_t count) {
        if (Has(count)) at_ += count;
    }
    // Dialog items start on a four-byte boundary of the template.
    void AlignTo4() { Skip((4 - at_ % 4) % 4); }
    // A zero-terminated UTF-16 text.
    std::u16string Text() {
        std::u16string text;
        for (char16_t c = char16_t(U16()); ok_ && c != 0; c = char16_t(U16())) text += c;
        return text;
    }
    // A class, menu or title field: 0xFFFF and a number (given back as no text), or a text.
    std::u16string TextOrNumber() {
        if (!Has(2)) return {};
        if (data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
            Skip(4);
            return {};
        }
        return Text();
    }

private:
    bool Has(size_t count) {
        if (ok_ && count <= data_.size() - at_) return true;
        ok_ = false;
        return false;
    }

    std::span<const uint8_t> data_;
    size_t at_ = 0;
    bool ok_ = true;
};

DialogRect ReadRect(Cursor& cursor) {
    DialogRect place;
    place.x = cursor.S16();
    place.y = cursor.S16();
    place.width = cursor.S16();
    place.height = cursor.S16();
    return place;
}

}  // namespace

std::string ToCodePage1252(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        char byte = '?';
        for (size_t i = 0; i < 32; ++i)
            if (kHighHalf[i] != 0 && kHighHalf[i] == c) byte = static_cast<char>(0x80 + i);
        out += byte;
    }
    return out;
}

std::optional<std::map<int, std::string>> DecodeStringBlock(uint32_t block, std::span<const uint8_t> data) {
    if (block == 0 || block > 0x10000 / kStringsPerBlock) return std::nullopt;
    Cursor cursor(data);
    std::map<int, std::string> texts;
    for (size_t slot = 0; slot < kStringsPerBlock; ++slot) {
        const uint16_t length = cursor.U16();
        std::u16string text;
        for (uint16_t i = 0; i < length && cursor.ok(); ++i) text += char16_t(cursor.U16());
        if (!cursor.ok()) return std::nullopt;
        if (length > 0) texts[int((block - 1) * kStringsPerBlock + slot)] = ToCodePage1252(text);
    }
    return texts;
}

std::optional<DialogTemplate> DecodeDialogTemplate(std::span<const uint8_t> data) {
    Cursor cursor(data);
    DialogTemplate dialog;
    const uint16_t version = cursor.U16();
    const uint16_t signature = cursor.U16();
    const bool extended = version == 1 && signature == 0xFFFF;
    uint32_t style = 0;
    if (extended) {
        cursor.Skip(8);  // help id, extended style
        style = cursor.U32();
    } else {
        style = uint32_t{version} | uint32_t{signature} << 16;
        cursor.Skip(4);  // extended style
    }
    const uint16_t count = cursor.U16();
    dialog.place = ReadRect(cursor);
    (void)cursor.TextOrNumber();  // menu
    (void)cursor.TextOrNumber();  // window class
    dialog.caption = ToCodePage1252(cursor.Text());
    if (style & kSetFont) {
        cursor.Skip(extended ? 6 : 2);  // size; weight, italic and character set in the extended form
        (void)cursor.Text();
    }
    for (uint16_t index = 0; index < count && cursor.ok(); ++index) {
        cursor.AlignTo4();
        TemplateControl control;
        if (extended) {
            cursor.Skip(12);  // help id, extended style, style
            control.place = ReadRect(cursor);
            control.id = int(int32_t(cursor.U32()));
        } else {
            cursor.Skip(8);  // style, extended style
            control.place = ReadRect(cursor);
            control.id = int16_t(cursor.U16());
        }
        (void)cursor.TextOrNumber();  // window class
        control.text = ToCodePage1252(cursor.TextOrNumber());
        cursor.Skip(cursor.U16());  // creation data
        dialog.controls.push_back(std::move(control));
    }
    if (!cursor.ok()) return std::nullopt;
    return dialog;
}

std::optional<LanguageLibrary> ReadLanguageLibrary(std::span<const uint8_t> image) {
    auto resources = PeResources::Open(image);
    if (!resources) return std::nullopt;
    LanguageLibrary library;
    auto blocks = resources->Names(kResourceString);
    auto dialogs = resources->Names(kResourceDialog);
    if (!blocks || !dialogs) return std::nullopt;
    for (uint32_t block : *blocks) {
        auto data = resources->Find(kResourceString, block);
        if (!data) return std::nullopt;
        auto texts = DecodeStringBlock(block, *data);
        if (!texts) return std::nullopt;
        library.strings.merge(*texts);
    }
    for (uint32_t id : *dialogs) {
        auto data = resources->Find(kResourceDialog, id);
        if (!data) return std::nullopt;
        auto dialog = DecodeDialogTemplate(*data);
        if (!dialog) return std::nullopt;
        library.dialogs[int(id)] = std::move(*dialog);
    }
    return library;
}

}  // namespace rvx::platform
