// The family name of TrueType fonts built by the test support: which record is taken, how the
// name is converted and cut, and that damaged or cut-off fonts give nothing.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "installer/files/font_name.h"
#include "tests/support/forwarding_files.h"
#include "tests/support/temp_machine.h"
#include "tests/support/true_type_font.h"

using namespace rvx;
using installer::ReadFontFamilyName;
using test_support::BuildTrueTypeFont;
using test_support::FontNameRecord;
using test_support::MakeTrueTypeFont;
using test_support::PutBigEndian16;
using test_support::PutBigEndian32;
using test_support::TrueTypeFontSpec;

namespace {

std::optional<std::string> Read(const std::vector<uint8_t>& bytes) { return ReadFontFamilyName(bytes); }

TrueTypeFontSpec FamilySpec(std::u16string family) {
    TrueTypeFontSpec layout;
    layout.names = {{3, 1, 0x0409, 1, std::move(family)}};
    return layout;
}

// Counts the bytes read through the files it opens.
class ReadCounter : public test_support::ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    uint64_t bytes_read() const { return bytes_read_; }

    platform::Result<std::unique_ptr<platform::File>> Open(const platform::OpenRequest& request) override {
        auto opened = files_.Open(request);
        if (!opened) return opened.error();
        return std::unique_ptr<platform::File>(std::make_unique<CountedFile>(std::move(opened.value()), bytes_read_));
    }

private:
    class CountedFile : public test_support::ForwardingFile {
    public:
        CountedFile(std::unique_ptr<platform::File> file, uint64_t& count) : ForwardingFile(std::move(file)), count_(count) {}
        platform::Result<size_t> Read(void* buffer, size_t size) override {
            auto got = file_->Read(buffer, size);
            if (got) count_ += got.value();
            return got;
        }

    private:
        uint64_t& count_;
    };

    uint64_t bytes_read_ = 0;
};

}  // namespace

TEST(FontFamilyName, TakesTheFirstMicrosoftFamilyRecord) {
    EXPECT_EQ(Read(MakeTrueTypeFont(u"Demo Sans")), "Demo Sans");

    // Several languages: the first record wins, whatever its language; other name IDs and the
    // Macintosh records before it are passed over.
    TrueTypeFontSpec layout;
    layout.names = {{1, 0, 0, 1, u"Mac Family"},
                  {3, 1, 0x0407, 2, u"Standard"},
                  {3, 1, 0x0407, 1, u"Deutsche Familie"},
                  {3, 1, 0x0409, 1, u"English Family"}};
    EXPECT_EQ(Read(BuildTrueTypeFont(layout).bytes), "Deutsche Familie");

    layout.names = {{3, 0, 0x0409, 1, u"Symbol Family"}};  // the symbol encoding is UTF-16 as well
    layout.dummy_table = false;
    EXPECT_EQ(Read(BuildTrueTypeFont(layout).bytes), "Symbol Family");

    layout.names = {{3, 1, 0x0409, 1, u""}};
    EXPECT_EQ(Read(BuildTrueTypeFont(layout).bytes), "");
}

TEST(FontFamilyName, AcceptsTheSfntVersionsOfTrueTypeAndOpenType) {
    for (uint32_t version : {0x00010000u, 0x74727565u /* true */, 0x4F54544Fu /* OTTO */}) {
        auto layout = FamilySpec(u"Versioned");
        layout.version = version;
        EXPECT_EQ(Read(BuildTrueTypeFont(layout).bytes), "Versioned") << std::hex << version;
    }
    for (uint32_t version : {0x00020000u, 0x74746366u /* ttcf, a collection */, 0u, 0x4D5A9000u}) {
        auto layout = FamilySpec(u"Versioned");
        layout.version = version;
        EXPECT_EQ(Read(BuildTrueTypeFont(layout).bytes), std::nullopt) << std::hex << version;
    }
}

TEST(FontFamilyName, NothingWithoutAMicrosoftFamilyRecord) {
    TrueTypeFontSpec layout;
    layout.names = {{1, 0, 0, 1, u"Mac Only"}, {1, 0, 0, 2, u"Regular"}};
    EXPECT_EQ(Read(BuildTrueTypeFont(layout).bytes), std::nullopt);

    layout.names = {{3, 1, 0x0409, 2, u"Regular"}, {3, 1, 0x0409, 4, u"Full Name"}};
    EXPECT_EQ(Read(BuildTrueTypeFont(layout).bytes), std::nullopt);

    layout.names.clear();
    EXPECT_EQ(Read(BuildTrueTypeFont(layout).bytes), std::nullopt);

    // No name table at all: its directory entry renamed.
    auto font = BuildTrueTypeFont(FamilySpec(u"Hidden"));
    PutBigEndian32(font.bytes, font.name_entry, 0x6E616D66);  // "namf"
    EXPECT_EQ(Read(font.bytes), std::nullopt);

    EXPECT_EQ(Read({}), std::nullopt);
    EXPECT_EQ(Read(std::vector<uint8_t>(64, 0)), std::nullopt);
}

TEST(FontFamilyName, ACutOffFontGivesNothingUntilTheNameTableIsWhole) {
    const auto font = BuildTrueTypeFont(FamilySpec(u"Cut Family"));
    const size_t name_table_end = font.name_table + 6 + 12 + 2 * std::u16string_view(u"Cut Family").size();
    ASSERT_LE(name_table_end, font.bytes.size());
    for (size_t cut = 0; cut <= font.bytes.size(); ++cut) {
        const std::vector<uint8_t> part(font.bytes.begin(), font.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        if (cut < name_table_end)
            EXPECT_EQ(Read(part), std::nullopt) << "cut at " << cut;
        else
            EXPECT_EQ(Read(part), "Cut Family") << "cut at " << cut;
    }
}

TEST(FontFamilyName, OffsetsAndLengthsOutsideTheDataGiveNothing) {
    const auto font = BuildTrueTypeFont(FamilySpec(u"Family"));
    ASSERT_EQ(Read(font.bytes), "Family");
    const uint32_t table_length = 6 + 12 + 12;
    const auto size = static_cast<uint32_t>(font.bytes.size());
    const auto table = static_cast<uint32_t>(font.name_table);
    const size_t record = font.name_records;

    struct Damage {
        const char* what;
        size_t at;
        bool wide;
        uint32_t value;
    };
    const Damage damages[] = {
        {"more tables than the directory holds", 4, false, 0x0FFF},
        {"name table starts past the end", font.name_entry + 8, true, size},
        {"name table runs past the end", font.name_entry + 12, true, size - table + 1},
        {"name table offset far past the end", font.name_entry + 8, true, 0xFFFFFFF0u},
        {"name table length wrapping 32 bits", font.name_entry + 12, true, 0u - table + table_length},
        {"name table too short for its header", font.name_entry + 12, true, 5},
        {"name table too short for its records", font.name_entry + 12, true, 6 + 11},
        {"more records than the table holds", font.name_table + 2, false, 3},
        {"string storage past the table", font.name_table + 4, false, table_length + 1},
        {"string storage moved so the string runs past the table", font.name_table + 4, false, table_length - 11},
        {"string offset past the table", record + 10, false, 0xFFFF},
        {"string length past the table", record + 8, false, 14},
    };
    for (const auto& damage : damages) {
        auto bytes = font.bytes;
        if (damage.wide)
            PutBigEndian32(bytes, damage.at, damage.value);
        else
            PutBigEndian16(bytes, damage.at, static_cast<uint16_t>(damage.value));
        EXPECT_EQ(Read(bytes), std::nullopt) << damage.what;
    }

    // The storage offset and the record's offset add up: the same string, reached from storage
    // said to start at the table's head.
    auto moved = font.bytes;
    PutBigEndian16(moved, font.name_table + 4, 0);
    PutBigEndian16(moved, record + 10, static_cast<uint16_t>(table_length - 12));
    EXPECT_EQ(Read(moved), "Family");

    // The records must all lie inside the table, even those after the one taken: here the
    // family string (two NUL bytes of the header) is inside, the second record is not.
    TrueTypeFontSpec two;
    two.names = {{3, 1, 0x0409, 1, u"AB"}, {3, 1, 0x0409, 2, u"C"}};
    auto spoiled = BuildTrueTypeFont(two);
    PutBigEndian16(spoiled.bytes, spoiled.name_table + 4, 0);
    PutBigEndian16(spoiled.bytes, spoiled.name_records + 8, 2);
    PutBigEndian16(spoiled.bytes, spoiled.name_records + 10, 0);
    EXPECT_EQ(Read(spoiled.bytes), "");
    PutBigEndian32(spoiled.bytes, spoiled.name_entry + 12, 6 + 12 + 11);
    EXPECT_EQ(Read(spoiled.bytes), std::nullopt);
}

TEST(FontFamilyName, ConvertsToTheCodePageAndCutsAt200Characters) {
    EXPECT_EQ(Read(MakeTrueTypeFont(u"Caf\u00e9 \u00c5ngstr\u00f6m")), "Caf\xe9 \xc5ngstr\xf6m");
    EXPECT_EQ(Read(MakeTrueTypeFont(u"\u65e5\u672c Mincho \u0416")), "?? Mincho ?");
    EXPECT_EQ(Read(MakeTrueTypeFont(u"Emoji \U0001F600!")), "Emoji ?!");  // one character, one "?"
    EXPECT_EQ(Read(MakeTrueTypeFont(u"Lone \xD800 surrogate")), "Lone ? surrogate");
    EXPECT_EQ(Read(MakeTrueTypeFont(std::u16string(u"Before\0After", 12))), "Before");

    const std::u16string exact(200, u'x');
    EXPECT_EQ(Read(MakeTrueTypeFont(exact)), std::string(200, 'x'));
    std::u16string longer(199, u'y');
    longer += u"\u4e00z tail";
    EXPECT_EQ(Read(MakeTrueTypeFont(longer)), std::string(199, 'y') + "?");

    // An odd byte count leaves the last byte unused.
    auto font = BuildTrueTypeFont(FamilySpec(u"Odd"));
    PutBigEndian16(font.bytes, font.name_records + 8, 5);
    EXPECT_EQ(Read(font.bytes), "Od");
}

TEST(FontFamilyName, ReadsAFontFileOnTheMachineInBoundedPieces) {
    test_support::TempMachine temp;
    platform::FileSystem& files = temp.Start("C:\\Setup\\Rovexa.exe", "").files;

    // A megabyte of other tables' data after the name table is never read.
    auto bytes = MakeTrueTypeFont(u"Machine Family \u00e9");
    bytes.resize(bytes.size() + (1 << 20), 0x55);
    temp.PutFile("C:\\WINDOWS\\Fonts\\machine.ttf", std::string(bytes.begin(), bytes.end()));
    ReadCounter counter(files);
    EXPECT_EQ(ReadFontFamilyName(counter, "C:\\WINDOWS\\Fonts\\machine.ttf"), "Machine Family \xe9");
    EXPECT_GT(counter.bytes_read(), 0u);
    EXPECT_LT(counter.bytes_read(), 1024u);

    auto damaged = BuildTrueTypeFont(FamilySpec(u"Damaged"));
    PutBigEndian32(damaged.bytes, damaged.name_entry + 12, static_cast<uint32_t>(damaged.bytes.size()));
    temp.PutFile("C:\\WINDOWS\\Fonts\\damaged.ttf", std::string(damaged.bytes.begin(), damaged.bytes.end()));
    EXPECT_EQ(ReadFontFamilyName(files, "C:\\WINDOWS\\Fonts\\damaged.ttf"), std::nullopt);

    const auto cut = MakeTrueTypeFont(u"Cut");
    temp.PutFile("C:\\WINDOWS\\Fonts\\cut.ttf", std::string(cut.begin(), cut.begin() + 40));
    EXPECT_EQ(ReadFontFamilyName(files, "C:\\WINDOWS\\Fonts\\cut.ttf"), std::nullopt);

    EXPECT_EQ(ReadFontFamilyName(files, "C:\\WINDOWS\\Fonts\\missing.ttf"), std::nullopt);
    EXPECT_EQ(ReadFontFamilyName(files, "C:\\WINDOWS\\Fonts"), std::nullopt);
}
