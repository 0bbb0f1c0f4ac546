// Reads the family name out of a TrueType font. Every offset and length comes from the file
// itself, so each range is checked against the bytes that are there before it is read; offsets
// are kept in 64 bits, where sums of the file's 16- and 32-bit fields cannot overflow. The same
// walk serves a whole font in memory and a file read piece by piece, so that a large font file
// is never read whole just for its name.
#include "installer/files/font_name.h"

#include <vector>

namespace rvx::installer {

namespace {

constexpr uint32_t Tag(const char (&text)[5]) {
    return uint32_t{static_cast<uint8_t>(text[0])} << 24 | uint32_t{static_cast<uint8_t>(text[1])} << 16 |
           uint32_t{static_cast<uint8_t>(text[2])} << 8 | uint32_t{static_cast<uint8_t>(text[3])};
}

// The versions an sfnt file may start with: TrueType outlines (the usual version number, or the
// tag older Macintosh fonts carry) and OpenType with PostScript outlines, whose name table is
// laid out alike.
constexpr uint32_t kTrueTypeVersion = 0x00010000;
constexpr uint32_t kTrueTypeTag = Tag("true");
constexpr uint32_t kOpenTypeTag = Tag("OTTO");
constexpr uint32_t kNameTableTag = Tag("name");

constexpr uint64_t kOffsetTableSize = 12;
constexpr uint64_t kDirectoryEntrySize = 16;
constexpr uint64_t kNameHeaderSize = 6;
constexpr uint64_t kNameRecordSize = 12;

constexpr uint16_t kMicrosoftPlatform = 3;
constexpr uint16_t kFamilyNameId = 1;

uint16_t U16(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}
uint32_t U32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | uint32_t{bytes[at + 3]};
}

// A run of the font's bytes.
struct Region {
    uint64_t offset = 0;
    uint64_t length = 0;
};

// Where the font's bytes come from. Read fills `out` with exactly `length` bytes from `offset`,
// or fails when they are not all there; the walk asks only for what it needs, so no request is
// larger than a table directory of 65,535 entries.
class FontSource {
public:
    virtual ~FontSource() = default;
    virtual uint64_t size() const = 0;
    virtual bool Read(uint64_t offset, uint64_t length, std::vector<uint8_t>& out) = 0;

protected:
    bool Within(uint64_t offset, uint64_t length) const { return offset <= size() && length <= size() - offset; }
};

class MemorySource final : public FontSource {
public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, uint64_t length, std::vector<uint8_t>& out) override {
        if (!Within(offset, length)) return false;
        const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
        out.assign(first, first + static_cast<std::ptrdiff_t>(length));
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
};

class FileSource final : public FontSource {
public:
    FileSource(platform::File& file, uint64_t size) : file_(file), size_(size) {}
    uint64_t size() const override { return size_; }
    bool Read(uint64_t offset, uint64_t length, std::vector<uint8_t>& out) override {
        if (!Within(offset, length)) return false;
        if (!file_.Seek(static_cast<int64_t>(offset), platform::SeekFrom::begin)) return false;
        out.resize(length);
        // The file may have shrunk since its size was taken: a short read fails the request.
        for (uint64_t got = 0; got < length;) {
            auto part = file_.Read(out.data() + got, length - got);
            if (!part || part.value() == 0) return false;
            got += part.value();
        }
        return true;
    }

private:
    platform::File& file_;
    uint64_t size_;
};

bool IsFontVersion(uint32_t version) {
    return version == kTrueTypeVersion || version == kTrueTypeTag || version == kOpenTypeTag;
}

// The name table as the table directory gives it, lying wholly inside the font.
std::optional<Region> FindNameTable(FontSource& source) {
    std::vector<uint8_t> bytes;
    if (!source.Read(0, kOffsetTableSize, bytes) || !IsFontVersion(U32(bytes, 0))) return std::nullopt;
    const uint16_t table_count = U16(bytes, 4);
    if (!source.Read(kOffsetTableSize, kDirectoryEntrySize * table_count, bytes)) return std::nullopt;
    for (size_t entry = 0; entry < table_count; ++entry) {
        const size_t at = entry * kDirectoryEntrySize;
        if (U32(bytes, at) != kNameTableTag) continue;
        const Region table{U32(bytes, at + 8), U32(bytes, at + 12)};
        if (table.offset > source.size() || table.length > source.size() - table.offset) return std::nullopt;
        return table;
    }
    return std::nullopt;
}

// The family name's string, inside the name table. Of several languages the first record is
// taken; a first record that points outside the table gives nothing rather than a later one.
std::optional<Region> FindFamilyString(FontSource& source, Region table) {
    std::vector<uint8_t> bytes;
    if (table.length < kNameHeaderSize || !source.Read(table.offset, kNameHeaderSize, bytes)) return std::nullopt;
    const uint16_t record_count = U16(bytes, 2);
    const uint64_t storage = U16(bytes, 4);
    const uint64_t records_size = kNameRecordSize * record_count;
    if (records_size > table.length - kNameHeaderSize) return std::nullopt;
    if (!source.Read(table.offset + kNameHeaderSize, records_size, bytes)) return std::nullopt;
    for (size_t record = 0; record < record_count; ++record) {
        const size_t at = record * kNameRecordSize;
        if (U16(bytes, at) != kMicrosoftPlatform || U16(bytes, at + 6) != kFamilyNameId) continue;
        const uint64_t length = U16(bytes, at + 8);
        const uint64_t start = storage + U16(bytes, at + 10);
        if (start > table.length || length > table.length - start) return std::nullopt;
        return Region{table.offset + start, length};
    }
    return std::nullopt;
}

constexpr bool IsHighSurrogate(uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Big-endian UTF-16 to 8-bit text. The Western code page agrees with the first 256 Unicode
// characters but for 0x80-0x9F, control characters no name uses; anything else has no
// single-byte form and becomes "?", as the system's conversion does with its default character.
// The name is later handed on as a zero-terminated text, so a NUL character ends it here.
std::string ToAnsi(const std::vector<uint8_t>& utf16) {
    std::string name;
    const size_t units = utf16.size() / 2;
    for (size_t index = 0; index < units && name.size() < kMaxFontFamilyLength; ++index) {
        const uint16_t unit = U16(utf16, 2 * index);
        if (unit == 0) break;
        if (unit <= 0xFF) {
            name.push_back(static_cast<char>(unit));
            continue;
        }
        if (IsHighSurrogate(unit) && index + 1 < units && IsLowSurrogate(U16(utf16, 2 * index + 2))) ++index;
        name.push_back('?');
    }
    return name;
}

std::optional<std::string> ReadFamilyName(FontSource& source) {
    auto table = FindNameTable(source);
    if (!table) return std::nullopt;
    auto family = FindFamilyString(source, *table);
    if (!family) return std::nullopt;
    std::vector<uint8_t> bytes;
    if (!source.Read(family->offset, family->length, bytes)) return std::nullopt;
    return ToAnsi(bytes);
}

}  // namespace

std::optional<std::string> ReadFontFamilyName(std::span<const uint8_t> font) {
    MemorySource source(font);
    return ReadFamilyName(source);
}

std::optional<std::string> ReadFontFamilyName(platform::FileSystem& files, std::string_view path) {
    auto file = files.Open(platform::OpenRequest{std::string(path), platform::Access::read, platform::share::read,
                                                 platform::Disposition::open_existing});
    if (!file) return std::nullopt;
    auto size = file.value()->Size();
    if (!size) return std::nullopt;
    FileSource source(*file.value(), size.value());
    return ReadFamilyName(source);
}

}  // namespace rvx::installer
