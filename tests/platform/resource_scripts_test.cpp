// The Windows programs' resource scripts as the resource compiler builds them: every text of the
// .def tables arrives with its id and exactly the characters the C++ table has (escapes, quotes,
// accented letters), every dialog template is the one the host's page descriptions give (ids,
// size, caption, font, and each control's id, class, kind, text and place), and each program
// carries icon 2 and a version resource with the project's version.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "common/text/string_table.h"
#include "installer_pages.h"
#include "installer_strings.h"
#include "platform/dialog_description.h"
#include "tests/support/temp_machine.h"
#include "uninstaller_pages.h"
#include "uninstaller_strings.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kBitmapType = 2;
constexpr int kIconType = 3;
constexpr int kDialogType = 5;
constexpr int kStringType = 6;
constexpr int kIconGroupType = 14;
constexpr int kVersionType = 16;

uint16_t Get16(const Bytes& bytes, size_t at) { return uint16_t(bytes.at(at) | bytes.at(at + 1) << 8); }
uint32_t Get32(const Bytes& bytes, size_t at) { return uint32_t(Get16(bytes, at) | uint32_t(Get16(bytes, at + 2)) << 16); }

struct Resource {
    int type;
    int name;  // -1 for a resource named by text
    Bytes data;
};

// A type or name field: 0xFFFF and a number, or a zero-terminated UTF-16 name.
int ReadId(const Bytes& bytes, size_t& at) {
    if (Get16(bytes, at) == 0xFFFF) {
        const int id = Get16(bytes, at + 2);
        at += 4;
        return id;
    }
    while (Get16(bytes, at) != 0) at += 2;
    at += 2;
    return -1;
}

// The resources of a compiled script in the .res format: entries of data size, header size, type,
// name and the fixed fields, each entry starting on a four-byte boundary.
std::vector<Resource> ReadCompiledScript(const char* path) {
    const std::string raw = rvx::test_support::Slurp(path);
    const Bytes bytes(raw.begin(), raw.end());
    EXPECT_FALSE(bytes.empty()) << "the compiled script " << path << " was not built";
    std::vector<Resource> resources;
    size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const uint32_t data_size = Get32(bytes, at);
        const uint32_t header_size = Get32(bytes, at + 4);
        size_t field = at + 8;
        Resource resource;
        resource.type = ReadId(bytes, field);
        resource.name = ReadId(bytes, field);
        const size_t data = at + header_size;
        if (data + data_size > bytes.size()) {
            ADD_FAILURE() << path << ": a resource runs past the end of the file";
            break;
        }
        resource.data.assign(bytes.begin() + ptrdiff_t(data), bytes.begin() + ptrdiff_t(data + data_size));
        if (data_size > 0) resources.push_back(std::move(resource));  // the first, empty entry only marks the format
        at = (data + data_size + 3) & ~size_t(3);
    }
    return resources;
}

const Resource* Find(const std::vector<Resource>& resources, int type, int name) {
    for (const auto& resource : resources)
        if (resource.type == type && resource.name == name) return &resource;
    return nullptr;
}

// The scripts declare code page 1252; only its bytes 0x80-0x9F stand for other code points.
char16_t FromCodePage1252(unsigned char byte) {
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte);
}

// A readable spelling of a UTF-16 text for failure messages: printable ASCII as it is, every
// other character as \u{hex}.
std::string Readable(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += char(c);
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "\\u{%x}", unsigned(c));
            out += code;
        }
    }
    return out;
}

// The string table of a compiled script by id: block n holds the ids (n - 1) * 16 to n * 16 - 1,
// each as a length and that many UTF-16 characters.
std::map<int, std::string> CompiledTexts(const std::vector<Resource>& resources) {
    std::map<int, std::string> texts;
    for (const auto& block : resources) {
        if (block.type != kStringType) continue;
        size_t at = 0;
        for (int slot = 0; slot < 16; ++slot) {
            const uint16_t length = Get16(block.data, at);
            at += 2;
            std::u16string text;
            for (uint16_t i = 0; i < length; ++i, at += 2) text += char16_t(Get16(block.data, at));
            if (length > 0) texts[(block.name - 1) * 16 + slot] = Readable(text);
        }
    }
    return texts;
}

// A text of the C++ tables as the resource compiler should store it.
std::string Expected(const char* text) {
    std::u16string wide;
    for (const char* c = text; *c; ++c) wide += FromCodePage1252(static_cast<unsigned char>(*c));
    return Readable(wide);
}

std::map<int, std::string> ExpectedTexts(std::span<const rvx::text::StringEntry> table) {
    std::map<int, std::string> texts;
    for (const auto& entry : table) texts[entry.id] = Expected(entry.text);
    return texts;
}

void ExpectSameTexts(const char* compiled_script, std::span<const rvx::text::StringEntry> table) {
    const auto compiled = CompiledTexts(ReadCompiledScript(compiled_script));
    const auto expected = ExpectedTexts(table);
    EXPECT_EQ(compiled.size(), expected.size()) << compiled_script;
    for (const auto& [id, text] : expected) {
        const auto found = compiled.find(id);
        if (found == compiled.end()) {
            ADD_FAILURE() << compiled_script << " lacks text " << id;
            continue;
        }
        EXPECT_EQ(found->second, text) << "text " << id << " of " << compiled_script;
    }
}

TEST(ResourceScripts, InstallerTextsArriveAsTheTableHasThem) {
    ExpectSameTexts(RVX_ROVEXA_RES, rvx::installer::kBuiltInStrings);
}

TEST(ResourceScripts, UninstallerTextsArriveAsTheTableHasThem) {
    ExpectSameTexts(RVX_DISMARA_RES, rvx::uninstaller::kBuiltInStrings);
}

// ---- Dialog templates (DLGTEMPLATEEX) ----

// A zero-terminated UTF-16 text, as a readable spelling.
std::string ReadText(const Bytes& bytes, size_t& at) {
    std::u16string text;
    while (Get16(bytes, at) != 0) {
        text += char16_t(Get16(bytes, at));
        at += 2;
    }
    at += 2;
    return Readable(text);
}

// A class, menu or title field: 0xFFFF and an ordinal (given back as "#n"), or a text.
std::string ReadNameOrOrdinal(const Bytes& bytes, size_t& at) {
    if (Get16(bytes, at) == 0xFFFF) {
        const int ordinal = Get16(bytes, at + 2);
        at += 4;
        return "#" + std::to_string(ordinal);
    }
    return ReadText(bytes, at);
}

struct CompiledControl {
    uint32_t style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    int id = 0;
    std::string window_class;
    std::string text;
};

struct CompiledDialog {
    bool extended = false;
    uint32_t style = 0;
    int width = 0, height = 0;
    std::string caption;
    int font_size = 0;
    std::string font;
    std::vector<CompiledControl> controls;
};

int Signed16(const Bytes& bytes, size_t at) { return int16_t(Get16(bytes, at)); }

CompiledDialog ReadDialog(const Bytes& data) {
    CompiledDialog dialog;
    dialog.extended = Get16(data, 0) == 1 && Get16(data, 2) == 0xFFFF;
    if (!dialog.extended) return dialog;
    dialog.style = Get32(data, 12);
    const int count = Get16(data, 16);
    dialog.width = Signed16(data, 22);
    dialog.height = Signed16(data, 24);
    size_t at = 26;
    (void)ReadNameOrOrdinal(data, at);  // menu
    (void)ReadNameOrOrdinal(data, at);  // window class
    dialog.caption = ReadText(data, at);
    constexpr uint32_t kSetFont = 0x40;
    if (dialog.style & kSetFont) {
        dialog.font_size = Get16(data, at);
        at += 6;  // size, weight, italic, character set
        dialog.font = ReadText(data, at);
    }
    for (int i = 0; i < count; ++i) {
        at = (at + 3) & ~size_t(3);
        CompiledControl control;
        control.style = Get32(data, at + 8);
        control.x = Signed16(data, at + 12);
        control.y = Signed16(data, at + 14);
        control.width = Signed16(data, at + 16);
        control.height = Signed16(data, at + 18);
        control.id = int32_t(Get32(data, at + 20));
        at += 24;
        control.window_class = ReadNameOrOrdinal(data, at);
        control.text = ReadNameOrOrdinal(data, at);
        const uint16_t extra = Get16(data, at);
        at += 2 + extra;
        dialog.controls.push_back(std::move(control));
    }
    return dialog;
}

// The predefined window classes by their ordinals.
std::string ClassName(const std::string& compiled) {
    static const std::map<std::string, std::string> kOrdinals = {
        {"#128", "button"}, {"#129", "edit"}, {"#130", "static"}, {"#131", "listbox"}};
    const auto found = kOrdinals.find(compiled);
    if (found != kOrdinals.end()) return found->second;
    std::string lower;
    for (char c : compiled) lower += char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return lower;
}

using rvx::platform::ControlClass;

// What a control of each kind must be in the template: its window class and the style bits that
// make it that kind (the bits under the mask must equal the value).
struct KindSpelling {
    const char* window_class;
    uint32_t mask;
    uint32_t value;
};

constexpr uint32_t kGroup = 0x00020000;
constexpr uint32_t kButtonType = 0x0F;    // BS_TYPEMASK
constexpr uint32_t kStaticType = 0x1F;    // SS_TYPEMASK
constexpr uint32_t kMultiline = 0x0004;   // ES_MULTILINE
constexpr uint32_t kReadOnly = 0x0800;    // ES_READONLY

KindSpelling SpellingOf(ControlClass kind) {
    switch (kind) {
    case ControlClass::text: return {"static", kStaticType, 0x00};             // SS_LEFT
    case ControlClass::edit: return {"edit", kMultiline | kReadOnly, 0};
    case ControlClass::read_only_edit: return {"edit", kMultiline | kReadOnly, kReadOnly};
    case ControlClass::licence_text: return {"edit", kMultiline | kReadOnly, kMultiline | kReadOnly};
    case ControlClass::list_box: return {"listbox", 0, 0};
    case ControlClass::check_box: return {"button", kButtonType, 0x03};        // BS_AUTOCHECKBOX
    case ControlClass::radio_first: return {"button", kButtonType | kGroup, 0x09 | kGroup};  // BS_AUTORADIOBUTTON
    case ControlClass::radio: return {"button", kButtonType | kGroup, 0x09};
    case ControlClass::button: return {"button", kButtonType, 0x00};           // BS_PUSHBUTTON
    case ControlClass::default_button: return {"button", kButtonType, 0x01};   // BS_DEFPUSHBUTTON
    case ControlClass::picture_frame:
    case ControlClass::frame: return {"static", kStaticType, 0x12};            // SS_ETCHEDFRAME
    case ControlClass::etched_line: return {"static", kStaticType, 0x10};      // SS_ETCHEDHORZ
    case ControlClass::icon: return {"static", kStaticType, 0x03};             // SS_ICON
    case ControlClass::progress_bar: return {"msctls_progress32", 0, 0};
    case ControlClass::percent_bar: return {"static", kStaticType, 0x0D};      // SS_OWNERDRAW
    }
    return {"?", 0, 0};
}

void ExpectSameDialogs(const char* compiled_script, std::span<const rvx::platform::DialogDescription* const> described) {
    const auto resources = ReadCompiledScript(compiled_script);
    size_t templates = 0;
    for (const auto& resource : resources) templates += resource.type == kDialogType;
    EXPECT_EQ(templates, described.size()) << compiled_script << ": a template without description, or the reverse";

    constexpr uint32_t kVisibleChild = 0x50000000;  // WS_CHILD | WS_VISIBLE
    constexpr uint32_t kCaption = 0x00C00000;        // WS_CAPTION
    for (const auto* description : described) {
        const std::string where = std::string(compiled_script) + " dialog " + std::to_string(description->id);
        const Resource* resource = Find(resources, kDialogType, description->id);
        if (!resource) {
            ADD_FAILURE() << where << " has no template";
            continue;
        }
        const CompiledDialog dialog = ReadDialog(resource->data);
        ASSERT_TRUE(dialog.extended) << where << " is not an extended template";
        EXPECT_EQ(dialog.width, description->place.width) << where;
        EXPECT_EQ(dialog.height, description->place.height) << where;
        EXPECT_EQ(dialog.caption, Expected(description->caption)) << where;
        EXPECT_EQ(dialog.style & kCaption, kCaption) << where << " has no caption bar";
        EXPECT_EQ(dialog.font_size, rvx::platform::kDialogFontSize) << where;
        EXPECT_EQ(dialog.font, rvx::platform::kDialogFont) << where;
        ASSERT_EQ(dialog.controls.size(), description->controls.size()) << where;

        std::map<int, int> ids;
        for (size_t i = 0; i < dialog.controls.size(); ++i) {
            const auto& compiled = dialog.controls[i];
            const auto& wanted = description->controls[i];
            const std::string control = where + " control " + std::to_string(i) + " (id " + std::to_string(wanted.id) + ")";
            EXPECT_EQ(compiled.id, wanted.id) << control;
            if (wanted.id != rvx::platform::kNoControlId) {
                EXPECT_EQ(++ids[wanted.id], 1) << control << ": the id is used twice";
            }
            const KindSpelling spelling = SpellingOf(wanted.kind);
            EXPECT_EQ(ClassName(compiled.window_class), spelling.window_class) << control;
            EXPECT_EQ(compiled.style & spelling.mask, spelling.value) << control << std::hex << " style 0x" << compiled.style;
            EXPECT_EQ(compiled.style & kVisibleChild, kVisibleChild) << control;
            EXPECT_EQ(compiled.text, Expected(wanted.text)) << control;
            EXPECT_EQ(compiled.x, wanted.place.x) << control;
            EXPECT_EQ(compiled.y, wanted.place.y) << control;
            EXPECT_EQ(compiled.width, wanted.place.width) << control;
            EXPECT_EQ(compiled.height, wanted.place.height) << control;
            // Every control lies inside its dialog, so no part of a page is cut off.
            EXPECT_TRUE(compiled.x >= 0 && compiled.y >= 0 && compiled.x + compiled.width <= dialog.width &&
                        compiled.y + compiled.height <= dialog.height)
                << control << " lies outside the dialog";
            // A template cannot carry an edit's limit, a picture, an icon or what a radio button
            // reveals: the platform takes them from the description, so they must be sound there.
            const bool carries_data = rvx::platform::ControlDescription::IsEditKind(wanted.kind) ||
                                      wanted.kind == ControlClass::picture_frame || wanted.kind == ControlClass::icon ||
                                      rvx::platform::ControlDescription::IsRadioKind(wanted.kind);
            if (!carries_data) {
                EXPECT_EQ(wanted.data, 0) << control << ": only edits, pictures, icons and radio buttons carry data";
            }
            if (wanted.kind == ControlClass::icon && wanted.data != 0) {
                EXPECT_NE(Find(resources, kIconGroupType, wanted.data), nullptr) << control << " names a missing icon";
            }
            if (wanted.kind == ControlClass::picture_frame && wanted.data != 0) {
                EXPECT_NE(Find(resources, kBitmapType, wanted.data), nullptr) << control << " names a missing bitmap";
            }
            if (wanted.revealed() != 0) {
                const auto* revealed = description->Find(wanted.revealed());
                EXPECT_TRUE(revealed && revealed != &wanted) << control << " reveals no other control of its dialog";
            }
        }
    }
}

TEST(ResourceScripts, InstallerDialogsAreThePageDescriptions) {
    ExpectSameDialogs(RVX_ROVEXA_RES, rvx::installer::dialogs::kAllDialogs);
}

TEST(ResourceScripts, UninstallerDialogsAreThePageDescriptions) {
    ExpectSameDialogs(RVX_DISMARA_RES, rvx::uninstaller::dialogs::kAllDialogs);
}

// The version block holds its fixed part after the signature 0xFEEF04BD: the structure version,
// then the file version and the product version, each as a high and a low double word.
void ExpectProjectVersion(const Resource& version, const char* program) {
    const Bytes& data = version.data;
    size_t at = 0;
    while (at + 4 <= data.size() && Get32(data, at) != 0xFEEF04BDu) at += 4;
    ASSERT_LE(at + 24, data.size()) << program << ": no fixed version part";
    const uint32_t high = uint32_t(RVX_PROJECT_VERSION_MAJOR) << 16 | uint32_t(RVX_PROJECT_VERSION_MINOR);
    const uint32_t low = uint32_t(RVX_PROJECT_VERSION_PATCH) << 16;
    EXPECT_EQ(Get32(data, at + 8), high) << program << " file version";
    EXPECT_EQ(Get32(data, at + 12), low) << program << " file version";
    EXPECT_EQ(Get32(data, at + 16), high) << program << " product version";
    EXPECT_EQ(Get32(data, at + 20), low) << program << " product version";

    std::u16string block;
    for (size_t at_char = 0; at_char + 1 < data.size(); at_char += 2) block += char16_t(Get16(data, at_char));
    // The value follows its key after padding to a four-byte boundary.
    bool named = false;
    for (size_t padding = 0; padding <= 1 && !named; ++padding) {
        std::u16string spelled = u"ProductName";
        spelled.append(1 + padding, char16_t(0));
        for (const char* c = program; *c; ++c) spelled += char16_t(*c);
        spelled += char16_t(0);
        named = block.find(spelled) != std::u16string::npos;
    }
    EXPECT_TRUE(named) << program << " does not give its product name";
}

TEST(ResourceScripts, EachProgramCarriesIconTwoAndTheProjectVersion) {
    const struct {
        const char* compiled_script;
        const char* product;
    } programs[] = {{RVX_ROVEXA_RES, "Rovexa"}, {RVX_DISMARA_RES, "Dismara"}};
    for (const auto& program : programs) {
        const auto resources = ReadCompiledScript(program.compiled_script);

        // The background window's class takes icon 2: a group whose every image is present.
        const Resource* group = Find(resources, kIconGroupType, 2);
        ASSERT_NE(group, nullptr) << program.product << " has no icon 2";
        ASSERT_GE(group->data.size(), 6u);
        const uint16_t images = Get16(group->data, 4);
        EXPECT_GE(images, 1) << program.product;
        for (uint16_t i = 0; i < images; ++i) {
            const int image = Get16(group->data, 6 + 14 * size_t(i) + 12);
            EXPECT_NE(Find(resources, kIconType, image), nullptr) << program.product << " lacks icon image " << image;
        }

        const Resource* version = Find(resources, kVersionType, 1);
        ASSERT_NE(version, nullptr) << program.product << " has no version resource";
        ExpectProjectVersion(*version, program.product);
    }
}

}  // namespace
