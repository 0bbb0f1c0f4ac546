// The simulated machine's registry as a platform::Registry: loading, saving after each change or
// on Flush, saves that never leave a half-written file, read-only keys and unstorable names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/sandbox/registry_file.h"
#include "platform/sandbox/sandbox_registry.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;
using platform::RegValue;
using platform::RootKey;
using platform::Status;
using sandbox::SandboxRegistry;

namespace {

constexpr RootKey kLm = RootKey::local_machine;

class SandboxRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = test_support::MakeTempFolder("rvx-registry"); }
    void TearDown() override { fs::remove_all(folder_); }

    std::string file() const { return (folder_ / "registry.reg").string(); }

    fs::path folder_;
};

}  // namespace

TEST_F(SandboxRegistryTest, EveryChangeIsSavedAtOnceOrOnFlushWhenDeferred) {
    auto registry = SandboxRegistry::CreateEmpty(file());
    ASSERT_TRUE(registry);
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "Software\\A", "v", RegValue::Dword(1)));
    EXPECT_NE(test_support::Slurp(file()).find("\"v\"=dword:00000001"), std::string::npos);

    registry.value()->SetDeferredSaving(true);
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "Software\\A", "w", RegValue::Dword(2)));
    EXPECT_EQ(test_support::Slurp(file()).find("\"w\""), std::string::npos);
    ASSERT_TRUE(registry.value()->Flush());
    EXPECT_NE(test_support::Slurp(file()).find("\"w\"=dword:00000002"), std::string::npos);

    auto loaded = SandboxRegistry::Load(file());
    ASSERT_TRUE(loaded) << loaded.error().detail;
    EXPECT_TRUE(loaded.value()->tree() == registry.value()->tree());
}

TEST_F(SandboxRegistryTest, DeferredFromTheStartEveryKindOfChangeWaitsForFlush) {
    {
        auto created = SandboxRegistry::CreateEmpty(file(), SandboxRegistry::Saving::on_flush);
        ASSERT_TRUE(created.value()->CreateKey(kLm, "Software\\Keep"));
        EXPECT_FALSE(fs::exists(file()));
        ASSERT_TRUE(created.value()->Flush());
    }
    auto registry = SandboxRegistry::Load(file(), SandboxRegistry::Saving::on_flush);
    ASSERT_TRUE(registry) << registry.error().detail;
    SandboxRegistry& reg = *registry.value();
    const std::string saved = test_support::Slurp(file());
    ASSERT_TRUE(reg.WriteValue(kLm, "Software\\Keep", "v", RegValue::Text("x")));
    ASSERT_TRUE(reg.CreateKey(kLm, "Software\\New"));
    ASSERT_TRUE(reg.DeleteValue(kLm, "Software\\Keep", "v"));
    ASSERT_TRUE(reg.DeleteKey(kLm, "Software\\New"));
    ASSERT_TRUE(reg.WriteValue(kLm, "Software\\Keep", "last", RegValue::Dword(9)));
    EXPECT_EQ(test_support::Slurp(file()), saved);
    ASSERT_TRUE(reg.Flush());
    auto reloaded = SandboxRegistry::Load(file());
    ASSERT_TRUE(reloaded) << reloaded.error().detail;
    EXPECT_TRUE(reloaded.value()->tree() == reg.tree());
    EXPECT_EQ(reloaded.value()->ReadValue(kLm, "software\\keep", "LAST").value().AsDword(), 9u);
    EXPECT_FALSE(reloaded.value()->KeyExists(kLm, "Software\\New"));
}

TEST_F(SandboxRegistryTest, AFailedSaveLeavesTheOldFileWhole) {
    auto registry = SandboxRegistry::CreateEmpty(file());
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "Software\\A", "v", RegValue::Dword(1)));
    const std::string before = test_support::Slurp(file());
    fs::create_directory(file() + ".tmp");  // the new file cannot be written (the tests run as root)
    fs::create_directory(file() + ".tmp/in the way");  // and the folder cannot simply be removed
    // The change is appended; the whole write that would compact the file fails.
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "Software\\A", "v", RegValue::Dword(2)));
    const std::string appended = test_support::Slurp(file());
    EXPECT_EQ(appended.rfind(before, 0), 0u);
    EXPECT_EQ(registry.value()->Flush().status(), Status::io_error);
    EXPECT_EQ(test_support::Slurp(file()), appended);
    EXPECT_TRUE(SandboxRegistry::Load(file()).value()->tree() == registry.value()->tree());
    // A change that must be written whole (saving deferred until now) fails and stays pending.
    registry.value()->SetDeferredSaving(true);
    ASSERT_TRUE(registry.value()->WriteValue(kLm, "Software\\A", "w", RegValue::Dword(3)));
    registry.value()->SetDeferredSaving(false);
    EXPECT_EQ(registry.value()->WriteValue(kLm, "Software\\A", "v", RegValue::Dword(4)).status(), Status::io_error);
    EXPECT_EQ(test_support::Slurp(file()), appended);
    fs::remove_all(file() + ".tmp");
    ASSERT_TRUE(registry.value()->Flush());  // the changes are still pending and land now
    EXPECT_NE(test_support::Slurp(file()).find("\"w\"=dword:00000003"), std::string::npos);
    EXPECT_NE(test_support::Slurp(file()).find("\"v\"=dword:00000004"), std::string::npos);
    EXPECT_FALSE(fs::exists(file() + ".tmp"));
}

// What a program killed at any point leaves: the file as it is after each change, read by the
// next program, holds every change made until then.
TEST_F(SandboxRegistryTest, EachChangeIsAppendedWholeAndTheFileIsCompactedAtTheEnd) {
    {
        auto created = SandboxRegistry::CreateEmpty(file());
        ASSERT_TRUE(created.value()->CreateKey(kLm, "Software\\Base"));
    }
    const std::string compact = test_support::Slurp(file());
    auto registry = SandboxRegistry::Load(file());
    ASSERT_TRUE(registry) << registry.error().detail;
    SandboxRegistry& reg = *registry.value();
    const auto after_each = [&](const char* what) {
        SCOPED_TRACE(what);
        auto read = SandboxRegistry::Load(file(), SandboxRegistry::Saving::on_flush);
        ASSERT_TRUE(read) << read.error().detail;
        EXPECT_TRUE(read.value()->tree() == reg.tree());
    };
    ASSERT_TRUE(reg.WriteValue(kLm, "Software\\Base\\Deep\\Er", "Text", RegValue::Text("a \"quoted\" \\ text")));
    after_each("a value in new keys");
    ASSERT_TRUE(reg.WriteValue(kLm, "software\\BASE", "", RegValue::Dword(7)));
    after_each("the default value, the key named in another case");
    RegValue bytes;
    bytes.type = platform::value_type::multi_string;
    for (int i = 0; i < 300; ++i) bytes.data.push_back(static_cast<uint8_t>(i));
    ASSERT_TRUE(reg.WriteValue(kLm, "Software\\Base", "Long", bytes));
    after_each("bytes over several lines");
    ASSERT_TRUE(reg.WriteValue(kLm, "Software\\Base", "text", RegValue::Text("replaced")));
    ASSERT_TRUE(reg.DeleteValue(kLm, "Software\\Base\\Deep\\Er", "TEXT"));
    after_each("a value deleted");
    ASSERT_TRUE(reg.DeleteValue(kLm, "Software\\Base", ""));
    after_each("the default value deleted");
    ASSERT_TRUE(reg.CreateKey(RootKey::current_user, "Software\\\\Doubled\\"));
    after_each("a key named with doubled and trailing separators");
    ASSERT_TRUE(reg.DeleteKey(kLm, "Software\\Base\\Deep\\Er"));
    after_each("a key deleted");
    ASSERT_TRUE(reg.CreateKey(kLm, "Software\\Base\\Deep\\Er"));
    after_each("the same key made again, empty");
    const std::string appended = test_support::Slurp(file());
    EXPECT_EQ(appended.rfind(compact, 0), 0u) << "changes follow the file as it was";
    EXPECT_NE(appended.find("[-HKEY_LOCAL_MACHINE\\Software\\Base\\Deep\\Er]"), std::string::npos);

    registry.value().reset();  // the program ends: the file is written whole
    const std::string closed = test_support::Slurp(file());
    auto reread = SandboxRegistry::Load(file(), SandboxRegistry::Saving::on_flush);
    ASSERT_TRUE(reread);
    EXPECT_EQ(closed, sandbox::FormatRegistryFile(reread.value()->tree()));
    EXPECT_EQ(closed.find("[-"), std::string::npos);
    EXPECT_EQ(reread.value()->ReadValue(kLm, "Software\\Base", "text").value().AsText().value_or(""), "replaced");
}

TEST_F(SandboxRegistryTest, ManyChangesKeepTheFileWithinTwiceItsWholeSize) {
    auto registry = SandboxRegistry::CreateEmpty(file());
    SandboxRegistry& reg = *registry.value();
    uint64_t largest = 0;
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(reg.WriteValue(kLm, "Software\\Many", "value" + std::to_string(i % 50), RegValue::Dword(static_cast<uint32_t>(i))));
        largest = std::max<uint64_t>(largest, fs::file_size(file()));
    }
    const uint64_t whole = sandbox::FormatRegistryFile(reg.tree()).size();
    EXPECT_LE(largest, 2 * whole + 64 * 1024 + 256);
    EXPECT_TRUE(SandboxRegistry::Load(file()).value()->tree() == reg.tree());
}

TEST_F(SandboxRegistryTest, LoadingReportsMissingAndMalformedFiles) {
    auto missing = SandboxRegistry::Load(file());
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.status(), Status::not_found);
    EXPECT_NE(missing.error().detail.find(file()), std::string::npos);

    std::ofstream(file(), std::ios::binary) << "Windows Registry Editor Version 5.00\r\n\r\n[HKLM\\A]\r\n\"v\"=dword:xyz\r\n";
    auto malformed = SandboxRegistry::Load(file());
    ASSERT_FALSE(malformed);
    EXPECT_EQ(malformed.status(), Status::invalid_argument);
    EXPECT_NE(malformed.error().detail.find(file() + " line 4"), std::string::npos) << malformed.error().detail;

    EXPECT_EQ(SandboxRegistry::Load(folder_.string()).status(), Status::io_error);
}

TEST_F(SandboxRegistryTest, NamesTheFileCannotHoldAreRefusedBeforeAnythingChanges) {
    auto registry = SandboxRegistry::CreateEmpty(file());
    SandboxRegistry& reg = *registry.value();
    ASSERT_TRUE(reg.WriteValue(kLm, "Software\\A", "v", RegValue::Dword(1)));
    const std::string before = test_support::Slurp(file());

    std::string too_deep = "Software";
    for (size_t i = 0; i < sandbox::kMaxKeyDepth; ++i) too_deep += "\\k";
    EXPECT_EQ(reg.CreateKey(kLm, too_deep).status(), Status::invalid_argument);
    EXPECT_EQ(reg.CreateKey(kLm, "Software\\" + std::string(256, 'n')).status(), Status::invalid_argument);
    auto broken = reg.WriteValue(kLm, "Software\\Two\nLines", "v", RegValue::Dword(1));
    EXPECT_EQ(broken.status(), Status::invalid_argument);
    EXPECT_NE(broken.error().detail.find("HKEY_LOCAL_MACHINE\\Software\\Two"), std::string::npos) << broken.error().detail;
    EXPECT_EQ(reg.WriteValue(kLm, "Software\\A", "two\nlines", RegValue::Dword(1)).status(), Status::invalid_argument);

    EXPECT_FALSE(reg.KeyExists(kLm, "Software\\k"));
    EXPECT_FALSE(reg.KeyExists(kLm, "Software\\Two\nLines"));
    EXPECT_EQ(reg.ValueNames(kLm, "Software\\A").value(), std::vector<std::string>{"v"});
    EXPECT_EQ(test_support::Slurp(file()), before);
}

TEST_F(SandboxRegistryTest, ReadOnlyKeysRefuseChangesBelowThem) {
    auto registry = SandboxRegistry::CreateEmpty(file());
    SandboxRegistry& reg = *registry.value();
    ASSERT_TRUE(reg.WriteValue(kLm, "SOFTWARE\\Policies\\X", "v", RegValue::Dword(1)));
    reg.SetReadOnlyKeys({{kLm, "software\\policies"}});
    const std::string before = test_support::Slurp(file());
    EXPECT_EQ(reg.CheckWritable(kLm, "SOFTWARE\\Policies").status(), Status::access_denied);
    EXPECT_EQ(reg.CheckWritable(kLm, "\\SOFTWARE\\\\Policies\\X\\").status(), Status::access_denied);
    EXPECT_EQ(reg.WriteValue(kLm, "SOFTWARE\\Policies\\Y", "v", RegValue::Dword(1)).status(), Status::access_denied);
    EXPECT_EQ(reg.CreateKey(kLm, "SOFTWARE\\Policies\\Z").status(), Status::access_denied);
    EXPECT_EQ(reg.DeleteValue(kLm, "SOFTWARE\\Policies\\X", "v").status(), Status::access_denied);
    EXPECT_EQ(reg.DeleteKey(kLm, "SOFTWARE\\Policies\\X").status(), Status::access_denied);
    EXPECT_EQ(test_support::Slurp(file()), before);
    EXPECT_EQ(reg.ReadValue(kLm, "SOFTWARE\\Policies\\X", "v").value().AsDword(), 1u);  // reading is fine

    EXPECT_TRUE(reg.CheckWritable(kLm, "SOFTWARE"));
    EXPECT_TRUE(reg.CheckWritable(kLm, "SOFTWARE\\PoliciesElsewhere"));
    EXPECT_TRUE(reg.CheckWritable(RootKey::current_user, "SOFTWARE\\Policies"));
    EXPECT_TRUE(reg.WriteValue(kLm, "SOFTWARE\\Open", "v", RegValue::Dword(1)));
}

// Two programs' registries on one machine file: the later writer's changes are not undone by the
// earlier one closing, and a change after the other's is written whole, as every change was.
TEST_F(SandboxRegistryTest, AFileAnotherRegistryWroteIsNeitherAppendedToNorCompacted) {
    { ASSERT_TRUE(SandboxRegistry::CreateEmpty(file()).value()->CreateKey(kLm, "Software\\Shared")); }
    auto first = SandboxRegistry::Load(file());
    ASSERT_TRUE(first.value()->WriteValue(kLm, "Software\\Shared", "first", RegValue::Dword(1)));
    std::unique_ptr<SandboxRegistry> later;
    {
        auto second = SandboxRegistry::Load(file());
        ASSERT_TRUE(second.value()->WriteValue(kLm, "Software\\Shared", "second", RegValue::Dword(2)));
        first.value().reset();  // the first program ends after the second wrote
        EXPECT_NE(test_support::Slurp(file()).find("\"second\""), std::string::npos);
        auto loaded = SandboxRegistry::Load(file());
        ASSERT_TRUE(loaded);
        later = std::move(loaded.value());
        ASSERT_TRUE(second.value()->WriteValue(kLm, "Software\\Shared", "third", RegValue::Dword(3)));
    }
    // The second closed last and compacted; the first, loaded before the third change, now
    // writes its own tree whole, as a program that saves after every change does.
    EXPECT_EQ(test_support::Slurp(file()).find("[-"), std::string::npos);
    ASSERT_TRUE(later->WriteValue(kLm, "Software\\Shared", "fourth", RegValue::Dword(4)));
    auto read = SandboxRegistry::Load(file());
    EXPECT_TRUE(read.value()->tree() == later->tree());
    EXPECT_FALSE(read.value()->ReadValue(kLm, "Software\\Shared", "third"));
    EXPECT_EQ(read.value()->ReadValue(kLm, "Software\\Shared", "second").value().AsDword(), 2u);
}
