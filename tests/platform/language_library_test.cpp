// The language libraries as built (build/languages/rovexeng.dll, rovexdeu.dll), read back with
// the portable reader: complete against the installer's built-in texts and dialogs, with every
// placeholder and line break kept; and the reader itself on damaged and odd libraries.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "installer_pages.h"
#include "installer_strings.h"
#include "platform/language_library.h"
#include "platform/pe_resources.h"
#include "platform/sandbox/screen_painter.h"
#include "platform/translated_dialogs.h"
#include "tests/support/temp_machine.h"

namespace {

using rvx::platform::LanguageLibrary;

std::vector<uint8_t> ReadBytes(const std::string& path) {
    const std::string raw = rvx::test_support::Slurp(path);
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

std::vector<uint8_t> LibraryFile(const char* name) { return ReadBytes(std::string(RVX_LANGUAGE_DIR) + "/" + name); }

// What the program fills in or relies on: numbered and printf-style placeholders, and the
// script variables of texts that are written as they stand.
std::vector<std::string> Placeholders(const std::string& text) {
    std::vector<std::string> found;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%' || at + 1 >= text.size()) continue;
        const char next = text[at + 1];
        if ((next >= '1' && next <= '9') || next == 's' || next == 'd') {
            found.push_back(text.substr(at, 2));
            ++at;
        } else if (const size_t end = text.find('%', at + 1); end != std::string::npos && end > at + 1 &&
                   std::all_of(text.begin() + ptrdiff_t(at + 1), text.begin() + ptrdiff_t(end),
                               [](char c) { return (c >= 'A' && c <= 'Z') || c == '_'; })) {
            found.push_back(text.substr(at, end - at + 1));
            at = end;
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

struct LineBreaks {
    size_t count = 0, leading = 0, trailing = 0;
    bool operator==(const LineBreaks&) const = default;
};

// The line breaks of a text: how many, and the runs at its start and end, which the program
// appends to or which put a text apart from what follows.
LineBreaks LineBreaksOf(const std::string& text) {
    LineBreaks breaks;
    breaks.count = size_t(std::count(text.begin(), text.end(), '\n'));
    while (breaks.leading < text.size() && text[breaks.leading] == '\n') ++breaks.leading;
    while (breaks.trailing < text.size() && text[text.size() - 1 - breaks.trailing] == '\n') ++breaks.trailing;
    return breaks;
}

// The registry line the installer writes as it stands: never translated.
constexpr int kUntranslated[] = {rvx::installer::kVersionRegistryLine};

// Everything that keeps a library from standing in for the built-in resources, one line each.
std::vector<std::string> CompletenessProblems(const LanguageLibrary& library) {
    std::vector<std::string> problems;
    std::map<int, std::string> built_in;
    for (const auto& entry : rvx::installer::kBuiltInStrings) built_in[entry.id] = entry.text;
    for (const auto& [id, text] : built_in) {
        const auto found = library.strings.find(id);
        if (found == library.strings.end()) {
            problems.push_back("string " + std::to_string(id) + " is missing");
            continue;
        }
        const std::string& translated = found->second;
        if (Placeholders(translated) != Placeholders(text))
            problems.push_back("string " + std::to_string(id) + " does not keep the placeholders of the built-in text");
        if (!(LineBreaksOf(translated) == LineBreaksOf(text)))
            problems.push_back("string " + std::to_string(id) + " does not keep the line breaks of the built-in text");
        if (std::find(std::begin(kUntranslated), std::end(kUntranslated), id) != std::end(kUntranslated) && translated != text)
            problems.push_back("string " + std::to_string(id) + " must stay as it is");
    }
    for (const auto& [id, text] : library.strings)
        if (!built_in.count(id)) problems.push_back("string " + std::to_string(id) + " is not among the built-in texts");

    std::map<int, const rvx::platform::DialogDescription*> dialogs;
    for (const auto* description : rvx::installer::dialogs::kAllDialogs) dialogs[description->id] = description;
    for (const auto& [id, description] : dialogs) {
        const std::string where = "dialog " + std::to_string(id);
        const auto found = library.dialogs.find(id);
        if (found == library.dialogs.end()) {
            problems.push_back(where + " is missing");
            continue;
        }
        const auto& library_dialog = found->second;
        if (library_dialog.caption.empty() != std::string(description->caption).empty())
            problems.push_back(where + ": the caption is translated where the built-in has none, or the reverse");
        if (library_dialog.controls.size() != description->controls.size()) {
            problems.push_back(where + " does not have the built-in controls");
            continue;
        }
        for (size_t i = 0; i < library_dialog.controls.size(); ++i) {
            const auto& control = library_dialog.controls[i];
            const auto& wanted = description->controls[i];
            const std::string which = where + " control " + std::to_string(i) + " (id " + std::to_string(wanted.id) + ")";
            if (control.id != wanted.id) problems.push_back(which + " has the id " + std::to_string(control.id));
            if (control.text.empty() != std::string(wanted.text).empty())
                problems.push_back(which + ": the text is translated where the built-in has none, or the reverse");
            if (Placeholders(control.text) != Placeholders(wanted.text) || !(LineBreaksOf(control.text) == LineBreaksOf(wanted.text)))
                problems.push_back(which + " does not keep the placeholders or line breaks of the built-in text");
        }
    }
    for (const auto& [id, dialog] : library.dialogs)
        if (!dialogs.count(id)) problems.push_back("dialog " + std::to_string(id) + " is not among the built-in dialogs");
    return problems;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    return out;
}

LanguageLibrary Read(const char* name) {
    const auto bytes = LibraryFile(name);
    auto library = rvx::platform::ReadLanguageLibrary(bytes);
    if (!library) {
        ADD_FAILURE() << name << " (" << bytes.size() << " bytes) cannot be read as a language library";
        return {};
    }
    return *library;
}

TEST(LanguageLibraries, EachHoldsEveryBuiltInTextAndDialogAndNothingElse) {
    for (const char* name : {"rovexeng.dll", "rovexdeu.dll"}) {
        const LanguageLibrary library = Read(name);
        EXPECT_EQ(Joined(CompletenessProblems(library)), "") << name;
    }
}

TEST(LanguageLibraries, TheCheckFindsWhatALibraryLosesOrAdds) {
    LanguageLibrary library = Read("rovexdeu.dll");
    ASSERT_TRUE(CompletenessProblems(library).empty());
    LanguageLibrary lacking = library;
    lacking.strings.erase(rvx::installer::kConfirmQuit);
    lacking.dialogs.erase(rvx::installer::dialogs::licence_page::kDialog);
    EXPECT_EQ(Joined(CompletenessProblems(lacking)), "string 40020 is missing\ndialog 127 is missing\n");

    LanguageLibrary adding = library;
    adding.strings[40030] = "Zu viel";
    adding.dialogs[140] = library.dialogs.begin()->second;
    EXPECT_EQ(Joined(CompletenessProblems(adding)),
              "string 40030 is not among the built-in texts\ndialog 140 is not among the built-in dialogs\n");

    LanguageLibrary changed = library;
    changed.strings[rvx::installer::kFileNotFound] = "Die Datei\nwurde nicht gefunden.";        // without %1
    changed.strings[rvx::installer::kMissingSections] = "INI-Datei besch\xe4" "digt:\nFehlende Abschnitte:";  // no last break
    changed.strings[rvx::installer::kVersionRegistryLine] = "HKLM,\"%TALMREG%\\Setup\", Version ";
    changed.dialogs[rvx::installer::dialogs::licence_page::kDialog].controls[2].text.clear();
    EXPECT_EQ(Joined(CompletenessProblems(changed)),
              "string 40029 must stay as it is\n"
              "string 41001 does not keep the placeholders of the built-in text\n"
              "string 41018 does not keep the line breaks of the built-in text\n"
              "dialog 127 control 2 (id 134): the text is translated where the built-in has none, or the reverse\n");
}

TEST(LanguageLibraries, TextsArriveInTheCodePageOfTheProgram) {
    const LanguageLibrary german = Read("rovexdeu.dll");
    EXPECT_EQ(german.strings.at(rvx::installer::kConfirmQuit),
              "Die Installation ist noch nicht abgeschlossen.\n\nM\xf6" "chten Sie sie jetzt beenden?");
    EXPECT_EQ(german.dialogs.at(rvx::installer::dialogs::install_folder_page::kDialog).controls.at(9).text,
              "< &Zur\xfc" "ck");
    const LanguageLibrary english = Read("rovexeng.dll");
    EXPECT_EQ(english.strings.at(rvx::installer::kInsertDisk), "Please insert the disk labelled\n\n\"%1\"\n\ninto drive %2.");
    // The English texts of the built-in table stay as they are.
    EXPECT_EQ(english.strings.at(rvx::installer::kNotEnoughMemory), "Not enogh memory.");
    EXPECT_EQ(english.dialogs.at(rvx::installer::dialogs::disk_prompt::kDialog).caption, "Norvane Installation");
}

TEST(LanguageLibraries, TheDescriptionsTakeTheLibrarysTextsAndKeepTheirOwnData) {
    const LanguageLibrary german = Read("rovexdeu.dll");
    const rvx::platform::TranslatedDialogs translated(rvx::installer::dialogs::kAllDialogs, german.dialogs);
    EXPECT_EQ(translated.size(), std::size(rvx::installer::dialogs::kAllDialogs));
    namespace page = rvx::installer::dialogs::personal_data_page;
    const auto& dialog = translated.Of(page::kDescription);
    EXPECT_NE(&dialog, &page::kDescription);
    EXPECT_STREQ(dialog.Text(page::kNext), "Weiter");
    EXPECT_STREQ(dialog.controls[4].text, "&Firma:");
    EXPECT_EQ(dialog.MaxLength(page::kName), 40);
    EXPECT_EQ(dialog.controls[0].image(), 144);

    // A template whose controls are not the description's leaves the description in use.
    auto odd = german.dialogs;
    std::swap(odd[page::kDialog].controls[0], odd[page::kDialog].controls[1]);
    const rvx::platform::TranslatedDialogs partly(rvx::installer::dialogs::kAllDialogs, odd);
    EXPECT_EQ(&partly.Of(page::kDescription), &page::kDescription);
    EXPECT_EQ(partly.size(), std::size(rvx::installer::dialogs::kAllDialogs) - 1);
}

// Resources whose library gives these dialogs.
class LibraryDialogs : public rvx::platform::Resources {
public:
    explicit LibraryDialogs(const rvx::platform::TranslatedDialogs& dialogs) : dialogs_(dialogs) {}
    rvx::platform::Outcome UseLanguageLibrary(std::string_view) override { return {}; }
    std::optional<std::string> Text(int) override { return std::nullopt; }
    const rvx::platform::DialogDescription& Dialog(const rvx::platform::DialogDescription& built_in) override {
        return dialogs_.Of(built_in);
    }

private:
    const rvx::platform::TranslatedDialogs& dialogs_;
};

TEST(LanguageLibraries, TheSimulatedScreenDrawsTheProgressPageInTheLibrarysTemplate) {
    const LanguageLibrary german = Read("rovexdeu.dll");
    const rvx::platform::TranslatedDialogs translated(rvx::installer::dialogs::kAllDialogs, german.dialogs);
    LibraryDialogs resources(translated);
    const rvx::sandbox::ProgressState progress{true, "Demo", "Kopiere Datei", "", 0, 60};
    const auto scene = rvx::sandbox::SceneOfProgress(progress, rvx::installer::dialogs::kAllDialogs, &resources);
    ASSERT_NE(scene.dialog, nullptr);
    EXPECT_STREQ(scene.dialog->Text(124), "Installation l\xe4" "uft...");
    EXPECT_EQ(scene.looks.at(102).text, "Kopiere Datei");
    const auto built_in = rvx::sandbox::SceneOfProgress(progress, rvx::installer::dialogs::kAllDialogs);
    EXPECT_STREQ(built_in.dialog->Text(124), "Installation in progress...");
}

TEST(LanguageLibraries, ADamagedLibraryIsNotReadAtAll) {
    const auto bytes = LibraryFile("rovexdeu.dll");
    ASSERT_TRUE(rvx::platform::ReadLanguageLibrary(bytes));
    // Cut off anywhere in its resources: the reader never reads past the end, and never takes
    // part of a library.
    auto resources = rvx::platform::PeResources::Open(bytes);
    ASSERT_TRUE(resources);
    const auto block = resources->Find(rvx::platform::kResourceString, 40020 / 16 + 1);
    ASSERT_TRUE(block);
    const size_t block_at = size_t(block->data() - bytes.data());
    for (size_t size : {size_t(0), size_t(64), block_at, block_at + block->size() - 1}) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + ptrdiff_t(size));
        EXPECT_FALSE(rvx::platform::ReadLanguageLibrary(cut)) << "cut at " << size;
    }
    // A text longer than its block.
    std::vector<uint8_t> long_text = bytes;
    long_text[block_at] = 0xFF;
    long_text[block_at + 1] = 0x7F;
    EXPECT_FALSE(rvx::platform::ReadLanguageLibrary(long_text));
}

TEST(LanguageLibraries, DecodesPlainAndExtendedTemplates) {
    // A plain template: style with DS_SETFONT, one control with text and one icon by number.
    const std::vector<uint8_t> plain = {
        0x40, 0x00, 0x00, 0x80, 0, 0, 0, 0, 2, 0, 1, 0, 2, 0, 100, 0, 50, 0,  // style, ex, count, rect
        0, 0, 0, 0, 'H', 0, 'i', 0, 0, 0,                                     // menu, class, caption
        8, 0, 'M', 0, 0, 0,                                                   // font
        0, 0,                                                                 // align
        0, 0, 0, 0x50, 0, 0, 0, 0, 5, 0, 6, 0, 40, 0, 10, 0, 7, 0,            // control 7
        0xFF, 0xFF, 0x82, 0, 0xE4, 0, 0xAC, 0x20, 0, 0, 0, 0, 0, 0,           // static, text, no data, align
        0, 0, 0, 0x50, 0, 0, 0, 0, 1, 0, 1, 0, 20, 0, 20, 0, 0xFF, 0xFF,      // control -1
        0xFF, 0xFF, 0x82, 0, 0xFF, 0xFF, 2, 0, 0, 0};
    auto dialog = rvx::platform::DecodeDialogTemplate(plain);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->caption, "Hi");
    EXPECT_EQ(dialog->place.width, 100);
    ASSERT_EQ(dialog->controls.size(), 2u);
    EXPECT_EQ(dialog->controls[0].id, 7);
    EXPECT_EQ(dialog->controls[0].text, "\xe4\x80");
    EXPECT_EQ(dialog->controls[0].place.y, 6);
    EXPECT_EQ(dialog->controls[1].id, -1);
    EXPECT_EQ(dialog->controls[1].text, "");
    // One byte short of the last control's creation data count.
    EXPECT_FALSE(rvx::platform::DecodeDialogTemplate(std::span(plain).first(plain.size() - 1)));
    // Characters outside the code page become question marks.
    EXPECT_EQ(rvx::platform::ToCodePage1252(u"a\u0416\u201Eb"), "a?\x84" "b");
    // String block 0 cannot exist.
    EXPECT_FALSE(rvx::platform::DecodeStringBlock(0, std::vector<uint8_t>(32, 0)));
}

}  // namespace
