// The Windows programs' resource scripts as the resource compiler builds them: every text of the
// .def tables arrives with its id and exactly the characters the C++ table has (escapes, quotes,
// accented letters), and each program carries icon 2 and a version resource with the project's
// version.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "common/text/string_table.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"
#include "uninstaller_strings.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kIconType = 3;
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

std::map<int, std::string> ExpectedTexts(std::span<const rvx::text::StringEntry> table) {
    std::map<int, std::string> texts;
    for (const auto& entry : table) {
        std::u16string text;
        for (const char* c = entry.text; *c; ++c) text += FromCodePage1252(static_cast<unsigned char>(*c));
        texts[entry.id] = Readable(text);
    }
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
