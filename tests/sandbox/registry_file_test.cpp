// The registry editor's text format: exact round trips, what other writers produce, continued
// hex lines, the order of the keys, and malformed files reported at their line.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/sandbox/registry_file.h"

using namespace rvx;
using platform::RegValue;
using platform::RootKey;
using platform::Status;
using sandbox::FormatRegistryFile;
using sandbox::ParseRegistryFile;
using sandbox::RegistryTree;

namespace {

constexpr RootKey kLm = RootKey::local_machine;
constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

platform::Result<RegistryTree> Parse(const std::string& body) { return ParseRegistryFile(kHeader + body, "test.reg"); }

// A value that must be there (a failure, and no value, when it is not).
RegValue Read(const RegistryTree& tree, RootKey root, const std::string& subkey, const std::string& name) {
    auto value = tree.ReadValue(root, subkey, name);
    if (!value) ADD_FAILURE() << value.error().detail;
    return value.value_or(RegValue());
}

RegValue Raw(uint32_t type, std::vector<uint8_t> bytes) {
    RegValue value;
    value.type = type;
    value.data = std::move(bytes);
    return value;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

}  // namespace

TEST(RegistryFile, EveryValueKindRoundTripsExactly) {
    RegistryTree tree;
    std::vector<uint8_t> every_byte;
    for (int i = 0; i < 256; ++i) every_byte.push_back(static_cast<uint8_t>(i));
    tree.WriteValue(kLm, "Software\\Kinds", "text", RegValue::Text("C:\\Program Files\\\"quoted\" \xe9"));
    tree.WriteValue(kLm, "Software\\Kinds", "", RegValue::Text("the default"));
    tree.WriteValue(kLm, "Software\\Kinds", "empty", RegValue::Text(""));
    tree.WriteValue(kLm, "Software\\Kinds", "trailing backslash", RegValue::Text("C:\\"));
    tree.WriteValue(kLm, "Software\\Kinds", "expand", RegValue::Text("%SystemRoot%\\x", platform::value_type::expand_string));
    tree.WriteValue(kLm, "Software\\Kinds", "binary", RegValue::Binary(every_byte));
    tree.WriteValue(kLm, "Software\\Kinds", "no bytes", RegValue::Binary({}));
    tree.WriteValue(kLm, "Software\\Kinds", "dword", RegValue::Dword(0xDEADBEEF));
    tree.WriteValue(kLm, "Software\\Kinds", "multi", RegValue::MultiText({"one", "two"}));
    tree.WriteValue(kLm, "Software\\Kinds", "qword", Raw(11, {1, 2, 3, 4, 5, 6, 7, 8}));
    tree.WriteValue(kLm, "Software\\Kinds", "big type", Raw(0xFFFFFFFF, {9}));
    tree.WriteValue(kLm, "Software\\Kinds", "none", Raw(0, {}));
    tree.WriteValue(kLm, "Software\\Kinds", "short dword", Raw(4, {1, 2}));
    tree.WriteValue(kLm, "Software\\Kinds", "text without zero", Raw(1, {'a', 'b'}));
    tree.WriteValue(kLm, "Software\\Kinds", "text with zeros", Raw(1, {'a', 0, 'b', 0}));
    tree.WriteValue(kLm, "Software\\Kinds", "empty text type", Raw(1, {}));
    tree.WriteValue(kLm, "Software\\Kinds", "text with line end", RegValue::Text("a\r\nb"));
    tree.WriteValue(kLm, "Software\\Kinds", "name \"with\" \\ quotes", RegValue::Dword(7));
    tree.WriteValue(kLm, "Software\\Kinds", "8-bit name \xe9\xff", RegValue::Text("\x80\xfe"));
    tree.WriteValue(kLm, "", "on the root", RegValue::Dword(3));
    tree.CreateKey(RootKey::current_user, "Software\\Empty Key");
    tree.CreateKey(RootKey::current_user, "Software\\Odd ]\"[ key");
    tree.WriteValue(RootKey::classes_root, ".nvu", "", RegValue::Text("NorvaneLog"));

    const std::string text = FormatRegistryFile(tree);
    auto back = ParseRegistryFile(text, "x.reg");
    ASSERT_TRUE(back) << back.error().detail;
    EXPECT_TRUE(back.value() == tree);
    EXPECT_EQ(FormatRegistryFile(back.value()), text);

    // The lines are the registry editor's own.
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Kinds]\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"text\"=\"C:\\\\Program Files\\\\\\\"quoted\\\" \xe9\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("@=\"the default\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"empty\"=\"\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"dword\"=dword:deadbeef\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"short dword\"=hex(4):01,02\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"text without zero\"=hex(1):61,62\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"no bytes\"=hex:\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"expand\"=hex(2):25,53,79"), std::string::npos);
    EXPECT_NE(text.find("\"multi\"=hex(7):6f,6e,65,00,74,77,6f,00,00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"big type\"=hex(ffffffff):09\r\n"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE]\r\n\"on the root\"=dword:00000003\r\n"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Empty Key]\r\n"), std::string::npos);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);  // no bare line feed anywhere
    for (const auto& line : Lines(text)) EXPECT_LE(line.size(), 80u) << line;
}

TEST(RegistryFile, KeysAreWrittenByRootThenNameWithParentsFirst) {
    RegistryTree tree;
    tree.CreateKey(RootKey::current_config, "Z");
    tree.CreateKey(kLm, "b\\Child");
    tree.CreateKey(kLm, "A");
    tree.CreateKey(kLm, "a\\Sub");
    tree.CreateKey(RootKey::classes_root, "x");
    std::vector<std::string> keys;
    for (const auto& line : Lines(FormatRegistryFile(tree)))
        if (!line.empty() && line.front() == '[') keys.push_back(line);
    EXPECT_EQ(keys, (std::vector<std::string>{"[HKEY_CLASSES_ROOT\\x]", "[HKEY_LOCAL_MACHINE\\A]",
                                              "[HKEY_LOCAL_MACHINE\\A\\Sub]", "[HKEY_LOCAL_MACHINE\\b]",
                                              "[HKEY_LOCAL_MACHINE\\b\\Child]", "[HKEY_CURRENT_CONFIG\\Z]"}));

    EXPECT_EQ(FormatRegistryFile(RegistryTree()), "Windows Registry Editor Version 5.00\r\n");
    auto empty = ParseRegistryFile(FormatRegistryFile(RegistryTree()), "empty.reg");
    ASSERT_TRUE(empty) << empty.error().detail;
    EXPECT_TRUE(empty.value() == RegistryTree());
}

TEST(RegistryFile, LongHexValuesAreWrappedAndAnyContinuationIsRead) {
    RegistryTree tree;
    std::vector<uint8_t> bytes(300, 0xAB);
    tree.WriteValue(kLm, "Software\\Long", "blob", RegValue::Binary(bytes));
    tree.WriteValue(kLm, "Software\\Long", std::string(70, 'n'), RegValue::Binary({1, 2, 3, 4, 5, 6, 7, 8}));
    const std::string text = FormatRegistryFile(tree);
    const auto lines = Lines(text);
    size_t continued = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 80u) << lines[i];
        if (!lines[i].empty() && lines[i].back() == '\\') {
            ++continued;
            ASSERT_LT(i + 1, lines.size());
            EXPECT_EQ(lines[i + 1].rfind("  ", 0), 0u) << lines[i + 1];
        }
    }
    EXPECT_GE(continued, 12u);  // 300 bytes take 900 columns
    auto back = ParseRegistryFile(text, "long.reg");
    ASSERT_TRUE(back) << back.error().detail;
    EXPECT_TRUE(back.value() == tree);

    // Other writers: upper-case HEX, tabs or no indentation, bare line feeds, a name holding "=hex".
    auto other = Parse(
        "[HKLM\\Software\\Long]\n"
        "\"a\"=HEX:01,02,\\\n"
        "\t03,\\\n"
        "04\n"
        "\"=hex\"=hex(7):41,\\\n"
        "        00,00\n"
        "@=hex(2):25,\\\n"
        "  00\n");
    ASSERT_TRUE(other) << other.error().detail;
    EXPECT_EQ(Read(*other, kLm, "Software\\Long", "a").data, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(Read(*other, kLm, "Software\\Long", "=hex"), RegValue::MultiText({"A"}));
    EXPECT_EQ(Read(*other, kLm, "Software\\Long", ""), RegValue::Text("%", platform::value_type::expand_string));
}

TEST(RegistryFile, ReadsWhatOtherWritersProduce) {
    auto parsed = Parse(
        "; a comment\n"
        "[HKLM\\Software\\X]\n"
        "\"b\"=hex:01,02,\\\n"
        "    03 , 04\n"
        "\"d\"=dword:2A\n"
        "\"short\"=dword:7\n"
        "  @ = \"default\"  \n"
        "\"gone\"=\"soon\"\n"
        "\"gone\"=-\n"
        "\"never there\"=-\n"
        "\n"
        "[HKEY_CURRENT_USER\\Old\\Sub]\n"
        "[-HKEY_CURRENT_USER\\Old]\n"
        "[-HKEY_CURRENT_USER\\Never\\There]\n"
        "[hkey_current_user\\Software]\n"
        "[HKCR\\.nvu]\n"
        "[HKU\\.DEFAULT]\n"
        "[HKCC\\Software]\n");
    ASSERT_TRUE(parsed) << parsed.error().detail;
    const RegistryTree& tree = *parsed;
    EXPECT_EQ(Read(tree, kLm, "Software\\X", "b").data, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(Read(tree, kLm, "Software\\X", "D").AsDword(), 42u);
    EXPECT_EQ(Read(tree, kLm, "Software\\X", "short").AsDword(), 7u);
    EXPECT_EQ(Read(tree, kLm, "Software\\X", "").AsText(), "default");
    EXPECT_EQ(tree.ReadValue(kLm, "Software\\X", "gone").status(), Status::not_found);
    EXPECT_EQ(tree.ValueNames(kLm, "Software\\X").value_or({}), (std::vector<std::string>{"", "b", "d", "short"}));
    EXPECT_FALSE(tree.KeyExists(RootKey::current_user, "Old"));
    EXPECT_TRUE(tree.KeyExists(RootKey::current_user, "Software"));
    EXPECT_TRUE(tree.KeyExists(RootKey::classes_root, ".nvu"));
    EXPECT_TRUE(tree.KeyExists(RootKey::users, ".DEFAULT"));
    EXPECT_TRUE(tree.KeyExists(RootKey::current_config, "Software"));

    auto old_format = ParseRegistryFile("REGEDIT4\n\n[HKEY_USERS\\.DEFAULT]\n\"a\"=\"b\"\n", "old.reg");
    ASSERT_TRUE(old_format) << old_format.error().detail;
    EXPECT_EQ(Read(*old_format, RootKey::users, ".DEFAULT", "a").AsText(), "b");

    // The registry editor's own export is UTF-16 with a byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\U]\r\n\"n\"=\"\xe9t\xe9\"\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    auto wide = ParseRegistryFile(utf16, "wide.reg");
    ASSERT_TRUE(wide) << wide.error().detail;
    EXPECT_EQ(Read(*wide, kLm, "U", "n").AsText(), "\xe9t\xe9");
    auto cjk = ParseRegistryFile(std::string("\xFF\xFE\x01\x30", 4), "cjk.reg");
    ASSERT_FALSE(cjk);
    EXPECT_EQ(cjk.status(), Status::invalid_argument);
    EXPECT_NE(cjk.error().detail.find("cjk.reg"), std::string::npos);
}

TEST(RegistryFile, MalformedFilesNameTheLine) {
    const std::string long_name = "[HKLM\\" + std::string(sandbox::kMaxKeyNameLength + 1, 'k') + "]";
    std::string too_deep = "[HKLM";
    for (size_t i = 0; i <= sandbox::kMaxKeyDepth; ++i) too_deep += "\\k";
    too_deep += "]";
    const std::pair<std::string, const char*> cases[] = {
        {"REGEDIT5\r\n", "line 1"},
        {"", "empty"},
        {"; only a comment\r\n\r\n", "empty"},
        {"Windows Registry Editor Version 5.00\r\n\"a\"=\"b\"\r\n", "line 2"},
        {"Windows Registry Editor Version 5.00\r\n[-HKLM\\X]\r\n\"a\"=\"b\"\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKEY_NOWHERE\\X]\r\n", "line 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X\r\n", "line 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=dword:123456789\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=dword:\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex:1,02\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex:01,\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex:0102\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a=\"b\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=\"b\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=\"b\" c\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex:01,\\", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex:01,\\\r\n  zz\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\r\n\"a\"=str:x\r\n", "line 4"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex(zz):00\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex(123456789):00\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\nplain words\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n" + too_deep + "\r\n", "line 2"},
        {"Windows Registry Editor Version 5.00\r\n" + long_name + "\r\n", "line 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"" + std::string(sandbox::kMaxValueNameLength + 1, 'v') +
             "\"=dword:1\r\n",
         "line 3"},
    };
    for (const auto& [text, where] : cases) {
        auto tree = ParseRegistryFile(text, "registry.reg");
        ASSERT_FALSE(tree) << text.substr(0, 200);
        EXPECT_EQ(tree.status(), Status::invalid_argument);
        EXPECT_EQ(tree.error().detail.rfind("registry.reg", 0), 0u) << tree.error().detail;
        EXPECT_NE(tree.error().detail.find(where), std::string::npos) << tree.error().detail;
    }
}

TEST(RegistryFile, LinesForComparingTwoMachines) {
    auto lines = sandbox::RegistryFileLines(std::string(kHeader) +
                                                "[HKEY_LOCAL_MACHINE]\r\n\"top\"=dword:00000001\r\n"
                                                "[HKEY_LOCAL_MACHINE\\Software\\N]\r\n\"v\"=\"x\"\r\n@=hex:01\r\n",
                                            "m.reg");
    ASSERT_TRUE(lines) << lines.error().detail;
    const std::map<std::string, std::string> expected{
        {"[HKEY_LOCAL_MACHINE] \"top\"", "dword:00000001"},
        {"[HKEY_LOCAL_MACHINE\\Software]", ""},
        {"[HKEY_LOCAL_MACHINE\\Software\\N]", ""},
        {"[HKEY_LOCAL_MACHINE\\Software\\N] \"v\"", "\"x\""},
        {"[HKEY_LOCAL_MACHINE\\Software\\N] @", "hex:01"},
    };
    EXPECT_EQ(lines.value(), expected);
    EXPECT_EQ(sandbox::RegistryFileLines("REGEDIT9", "bad.reg").status(), Status::invalid_argument);
}
