// The simulated registry: the tree's rules, the registry editor's file format, and saving.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sandbox/registry_file.h"
#include "platform/sandbox/sandbox_registry.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;
using platform::RegValue;
using platform::RootKey;
using platform::Status;
using sandbox::FormatRegistryFile;
using sandbox::ParseRegistryFile;
using sandbox::RegistryTree;

namespace {

constexpr RootKey kLm = RootKey::local_machine;

RegistryTree Parse(const std::string& body) {
    auto tree = ParseRegistryFile("Windows Registry Editor Version 5.00\r\n\r\n" + body, "test.reg");
    EXPECT_TRUE(tree) << tree.error().detail;
    return tree ? std::move(tree.value()) : RegistryTree();
}

RegValue Raw(uint32_t type, std::vector<uint8_t> bytes) {
    RegValue value;
    value.type = type;
    value.data = std::move(bytes);
    return value;
}

}  // namespace

TEST(RegistryTree, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    RegistryTree tree;
    tree.WriteValue(kLm, "Software\\Norvane\\Demo", "InstallDir", RegValue::Text("C:\\X"));
    tree.WriteValue(kLm, "SOFTWARE\\norvane\\DEMO", "INSTALLDIR", RegValue::Text("C:\\Y"));
    EXPECT_EQ(tree.ReadValue(kLm, "software\\NORVANE\\demo", "installdir").value().AsText(), "C:\\Y");
    EXPECT_EQ(tree.SubkeyNames(kLm, "software").value(), std::vector<std::string>{"Norvane"});
    EXPECT_EQ(tree.ValueNames(kLm, "Software\\Norvane\\Demo").value(), std::vector<std::string>{"InstallDir"});
    EXPECT_TRUE(tree.KeyExists(kLm, "\\Software\\\\Norvane\\"));  // empty components are ignored
    EXPECT_FALSE(tree.KeyExists(RootKey::current_user, "Software\\Norvane"));
    EXPECT_EQ(tree.ReadValue(kLm, "Software\\Norvane\\Demo", "Other").status(), Status::not_found);
    EXPECT_EQ(tree.ReadValue(kLm, "Software\\Missing", "").status(), Status::not_found);
}

TEST(RegistryTree, DeletingKeysFollowsTheNtRules) {
    RegistryTree tree;
    tree.WriteValue(kLm, "A\\B\\C", "v", RegValue::Dword(1));
    EXPECT_EQ(tree.DeleteKey(kLm, "A\\B").status(), Status::not_empty);
    EXPECT_TRUE(tree.DeleteKey(kLm, "a\\b\\c"));
    EXPECT_TRUE(tree.DeleteKey(kLm, "A\\B"));
    EXPECT_EQ(tree.DeleteKey(kLm, "A\\B").status(), Status::not_found);
    EXPECT_EQ(tree.DeleteKey(kLm, "").status(), Status::access_denied);
    EXPECT_EQ(tree.DeleteValue(kLm, "A", "none").status(), Status::not_found);
    tree.WriteValue(kLm, "A\\B\\C\\D", "v", RegValue::Dword(1));
    tree.DeleteTree(kLm, "A\\B");
    EXPECT_TRUE(tree.KeyExists(kLm, "A"));
    EXPECT_FALSE(tree.KeyExists(kLm, "A\\B"));
}

TEST(RegistryFile, EveryValueKindRoundTripsExactly) {
    RegistryTree tree;
    std::vector<uint8_t> every_byte;
    for (int i = 0; i < 256; ++i) every_byte.push_back(static_cast<uint8_t>(i));
    tree.WriteValue(kLm, "Software\\Kinds", "text", RegValue::Text("C:\\Program Files\\\"quoted\" \xe9"));
    tree.WriteValue(kLm, "Software\\Kinds", "", RegValue::Text("the default"));
    tree.WriteValue(kLm, "Software\\Kinds", "empty", RegValue::Text(""));
    tree.WriteValue(kLm, "Software\\Kinds", "expand", RegValue::Text("%SystemRoot%\\x", platform::value_type::expand_string));
    tree.WriteValue(kLm, "Software\\Kinds", "binary", RegValue::Binary(every_byte));
    tree.WriteValue(kLm, "Software\\Kinds", "no bytes", RegValue::Binary({}));
    tree.WriteValue(kLm, "Software\\Kinds", "dword", RegValue::Dword(0xDEADBEEF));
    tree.WriteValue(kLm, "Software\\Kinds", "multi", RegValue::MultiText({"one", "two"}));
    tree.WriteValue(kLm, "Software\\Kinds", "qword", Raw(11, {1, 2, 3, 4, 5, 6, 7, 8}));
    tree.WriteValue(kLm, "Software\\Kinds", "none", Raw(0, {}));
    tree.WriteValue(kLm, "Software\\Kinds", "short dword", Raw(4, {1, 2}));
    tree.WriteValue(kLm, "Software\\Kinds", "text without zero", Raw(1, {'a', 'b'}));
    tree.WriteValue(kLm, "Software\\Kinds", "text with line end", RegValue::Text("a\r\nb"));
    tree.WriteValue(kLm, "Software\\Kinds", "name \"with\" \\ quotes", RegValue::Dword(7));
    tree.CreateKey(RootKey::current_user, "Software\\Empty Key");
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
    EXPECT_NE(text.find("\"dword\"=dword:deadbeef\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"multi\"=hex(7):6f,6e,65,00,74,77,6f,00,00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Empty Key]\r\n"), std::string::npos);
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 80u) << "long line at " << start;
}

TEST(RegistryFile, ReadsWhatOtherWritersProduce) {
    RegistryTree tree = Parse(
        "; a comment\n"
        "[HKLM\\Software\\X]\n"
        "\"b\"=hex:01,02,\\\n"
        "    03 , 04\n"
        "\"d\"=dword:2A\n"
        "@=\"default\"\n"
        "\"gone\"=\"soon\"\n"
        "\"gone\"=-\n"
        "\n"
        "[HKEY_CURRENT_USER\\Old\\Sub]\n"
        "[-HKEY_CURRENT_USER\\Old]\n"
        "[HKEY_CURRENT_USER\\Software]\n");
    EXPECT_EQ(tree.ReadValue(kLm, "Software\\X", "b").value().data, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(tree.ReadValue(kLm, "Software\\X", "D").value().AsDword(), 42u);
    EXPECT_EQ(tree.ReadValue(kLm, "Software\\X", "").value().AsText(), "default");
    EXPECT_EQ(tree.ReadValue(kLm, "Software\\X", "gone").status(), Status::not_found);
    EXPECT_FALSE(tree.KeyExists(RootKey::current_user, "Old"));
    EXPECT_TRUE(tree.KeyExists(RootKey::current_user, "Software"));

    auto old_format = ParseRegistryFile("REGEDIT4\n\n[HKEY_USERS\\.DEFAULT]\n\"a\"=\"b\"\n", "old.reg");
    ASSERT_TRUE(old_format);
    EXPECT_EQ(old_format->ReadValue(RootKey::users, ".DEFAULT", "a").value().AsText(), "b");

    // The registry editor's own export is UTF-16 with a byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\U]\r\n\"n\"=\"\xe9t\xe9\"\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    auto wide = ParseRegistryFile(utf16, "wide.reg");
    ASSERT_TRUE(wide) << wide.error().detail;
    EXPECT_EQ(wide->ReadValue(kLm, "U", "n").value().AsText(), "\xe9t\xe9");
    EXPECT_FALSE(ParseRegistryFile(std::string("\xFF\xFE\x01\x30", 4), "cjk.reg"));
}

TEST(RegistryFile, MalformedFilesNameTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"REGEDIT5\r\n", "line 1"},
        {"", "empty"},
        {"Windows Registry Editor Version 5.00\r\n\"a\"=\"b\"\r\n", "line 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKEY_NOWHERE\\X]\r\n", "line 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X\r\n", "line 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=dword:123456789\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex:1,02\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex:01,\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a=\"b\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=\"b\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex:01,\\\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=str:x\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\n\"a\"=hex(zz):00\r\n", "line 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKLM\\X]\r\nplain words\r\n", "line 3"},
    };
    for (const auto& [text, where] : cases) {
        auto tree = ParseRegistryFile(text, "registry.reg");
        ASSERT_FALSE(tree) << text;
        EXPECT_EQ(tree.status(), Status::invalid_argument);
        EXPECT_NE(tree.error().detail.find("registry.reg"), std::string::npos) << tree.error().detail;
        EXPECT_NE(tree.error().detail.find(where), std::string::npos) << tree.error().detail;
    }
}

TEST(SandboxRegistry, EveryChangeIsSavedAtOnceOrOnFlushWhenDeferred) {
    fs::path folder = test_support::MakeTempFolder("rvx-registry");
    const std::string file = (folder / "registry.reg").string();
    auto registry = sandbox::SandboxRegistry::CreateEmpty(file);
    ASSERT_TRUE(registry);
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "Software\\A", "v", RegValue::Dword(1)));
    EXPECT_NE(test_support::Slurp(file).find("\"v\"=dword:00000001"), std::string::npos);

    registry.value()->SetDeferredSaving(true);
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "Software\\A", "w", RegValue::Dword(2)));
    EXPECT_EQ(test_support::Slurp(file).find("\"w\""), std::string::npos);
    ASSERT_TRUE(registry.value()->Flush());
    EXPECT_NE(test_support::Slurp(file).find("\"w\"=dword:00000002"), std::string::npos);

    auto loaded = sandbox::SandboxRegistry::Load(file);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded.value()->tree() == registry.value()->tree());
    fs::remove_all(folder);
}

TEST(SandboxRegistry, AFailedSaveLeavesTheOldFileWhole) {
    fs::path folder = test_support::MakeTempFolder("rvx-registry");
    const std::string file = (folder / "registry.reg").string();
    auto registry = sandbox::SandboxRegistry::CreateEmpty(file);
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "Software\\A", "v", RegValue::Dword(1)));
    const std::string before = test_support::Slurp(file);
    fs::create_directory(file + ".tmp");  // the new file cannot be written
    EXPECT_EQ(registry.value()->WriteValue(kLm, "Software\\A", "v", RegValue::Dword(2)).status(), Status::io_error);
    EXPECT_EQ(test_support::Slurp(file), before);
    fs::remove(file + ".tmp");
    ASSERT_TRUE(registry.value()->Flush());  // the change is still pending and lands now
    EXPECT_NE(test_support::Slurp(file).find("dword:00000002"), std::string::npos);
    fs::remove_all(folder);
}

TEST(SandboxRegistry, ReadOnlyKeysRefuseChangesBelowThem) {
    fs::path folder = test_support::MakeTempFolder("rvx-registry");
    auto registry = sandbox::SandboxRegistry::CreateEmpty((folder / "registry.reg").string());
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "SOFTWARE\\Policies\\X", "v", RegValue::Dword(1)));
    registry.value()->SetReadOnlyKeys({{kLm, "software\\policies"}});
    EXPECT_EQ(registry.value()->CheckWritable(kLm, "SOFTWARE\\Policies\\X").status(), Status::access_denied);
    EXPECT_EQ(registry.value()->WriteValue(kLm, "SOFTWARE\\Policies\\Y", "v", RegValue::Dword(1)).status(), Status::access_denied);
    EXPECT_EQ(registry.value()->DeleteKey(kLm, "SOFTWARE\\Policies\\X").status(), Status::access_denied);
    EXPECT_TRUE(registry.value()->CheckWritable(kLm, "SOFTWARE\\PoliciesElsewhere"));
    EXPECT_TRUE(registry.value()->CheckWritable(RootKey::current_user, "SOFTWARE\\Policies"));
    fs::remove_all(folder);
}
