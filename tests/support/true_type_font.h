// Small but well-formed TrueType files for the tests: the offset table, the table directory and
// a name table holding the given records, optionally after a dummy table so that the name
// table is not the first one. Tests damage the bytes at the positions the builder reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rvx::test_support {

struct FontNameRecord {
    uint16_t platform = 3;    // Microsoft
    uint16_t encoding = 1;    // Unicode
    uint16_t language = 0x0409;
    uint16_t name_id = 1;     // the family name
    std::u16string text;      // stored big-endian; for platform 1 only each unit's low byte is stored
};

struct TrueTypeFontSpec {
    uint32_t version = 0x00010000;
    std::vector<FontNameRecord> names;
    bool dummy_table = true;  // a small "cmap" table ahead of the name table
};

// The built file and where its parts lie, as offsets into bytes.
struct TrueTypeFont {
    std::vector<uint8_t> bytes;
    size_t name_entry = 0;    // the name table's directory entry
    size_t name_table = 0;    // the name table itself
    size_t name_records = 0;  // its first name record
};

TrueTypeFont BuildTrueTypeFont(const TrueTypeFontSpec& layout);

// A font whose family is `family`: a Macintosh record and a Microsoft record for it, along with
// a style name record (name ID 2), in the usual order.
std::vector<uint8_t> MakeTrueTypeFont(std::u16string_view family);

// Stores a big-endian 16- or 32-bit value into bytes at `at`, for damaging built fonts.
void PutBigEndian16(std::vector<uint8_t>& bytes, size_t at, uint16_t value);
void PutBigEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

}  // namespace rvx::test_support
