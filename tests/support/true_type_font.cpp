// Builds minimal TrueType files for the font tests and the fuzz corpus.
#include "tests/support/true_type_font.h"

namespace rvx::test_support {

namespace {

struct Table {
    const char* tag;
    std::vector<uint8_t> data;
};

void Append16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value));
}

void Append32(std::vector<uint8_t>& bytes, uint32_t value) {
    Append16(bytes, static_cast<uint16_t>(value >> 16));
    Append16(bytes, static_cast<uint16_t>(value));
}

// The table checksum: the sum of its big-endian 32-bit words, the last one padded with zeros.
uint32_t Checksum(const std::vector<uint8_t>& data) {
    uint32_t sum = 0;
    for (size_t at = 0; at < data.size(); at += 4) {
        uint32_t word = 0;
        for (size_t byte = 0; byte < 4; ++byte) word = word << 8 | (at + byte < data.size() ? data[at + byte] : 0);
        sum += word;
    }
    return sum;
}

std::vector<uint8_t> NameTable(const std::vector<FontNameRecord>& names) {
    std::vector<uint8_t> strings;
    std::vector<uint8_t> table;
    Append16(table, 0);
    Append16(table, static_cast<uint16_t>(names.size()));
    Append16(table, static_cast<uint16_t>(6 + 12 * names.size()));
    for (const auto& name : names) {
        const size_t start = strings.size();
        for (char16_t unit : name.text) {
            if (name.platform == 1)
                strings.push_back(static_cast<uint8_t>(unit));
            else
                Append16(strings, static_cast<uint16_t>(unit));
        }
        Append16(table, name.platform);
        Append16(table, name.encoding);
        Append16(table, name.language);
        Append16(table, name.name_id);
        Append16(table, static_cast<uint16_t>(strings.size() - start));
        Append16(table, static_cast<uint16_t>(start));
    }
    table.insert(table.end(), strings.begin(), strings.end());
    return table;
}

}  // namespace

void PutBigEndian16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes.at(at) = static_cast<uint8_t>(value >> 8);
    bytes.at(at + 1) = static_cast<uint8_t>(value);
}

void PutBigEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    PutBigEndian16(bytes, at, static_cast<uint16_t>(value >> 16));
    PutBigEndian16(bytes, at + 2, static_cast<uint16_t>(value));
}

TrueTypeFont BuildTrueTypeFont(const TrueTypeFontSpec& layout) {
    // The directory is sorted by tag, and the tables follow in the same order.
    std::vector<Table> tables;
    if (layout.dummy_table) tables.push_back({"cmap", {0, 0, 0, 0}});  // version 0, no subtables
    tables.push_back({"name", NameTable(layout.names)});

    TrueTypeFont font;
    std::vector<uint8_t>& bytes = font.bytes;
    const auto count = static_cast<uint16_t>(tables.size());
    uint16_t power = 1;
    uint16_t selector = 0;
    while (power * 2 <= count) {
        power = static_cast<uint16_t>(power * 2);
        ++selector;
    }
    Append32(bytes, layout.version);
    Append16(bytes, count);
    Append16(bytes, static_cast<uint16_t>(power * 16));
    Append16(bytes, selector);
    Append16(bytes, static_cast<uint16_t>(count * 16 - power * 16));

    size_t offset = 12 + 16 * tables.size();
    for (const auto& table : tables) {
        if (std::string_view(table.tag) == "name") font.name_entry = bytes.size();
        for (size_t index = 0; index < 4; ++index) bytes.push_back(static_cast<uint8_t>(table.tag[index]));
        Append32(bytes, Checksum(table.data));
        Append32(bytes, static_cast<uint32_t>(offset));
        Append32(bytes, static_cast<uint32_t>(table.data.size()));
        offset += (table.data.size() + 3) / 4 * 4;
    }
    for (const auto& table : tables) {
        if (std::string_view(table.tag) == "name") font.name_table = bytes.size();
        bytes.insert(bytes.end(), table.data.begin(), table.data.end());
        while (bytes.size() % 4 != 0) bytes.push_back(0);
    }
    font.name_records = font.name_table + 6;
    return font;
}

std::vector<uint8_t> MakeTrueTypeFont(std::u16string_view family) {
    TrueTypeFontSpec layout;
    layout.names = {
        {1, 0, 0, 1, std::u16string(family)},
        {1, 0, 0, 2, u"Regular"},
        {3, 1, 0x0409, 1, std::u16string(family)},
        {3, 1, 0x0409, 2, u"Regular"},
    };
    return BuildTrueTypeFont(layout).bytes;
}

}  // namespace rvx::test_support
