// The simulated machine's registry as a platform::Registry: loading, saving after each change or
// on Flush, saves that never leave a half-written file, read-only keys and unstorable names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
    EXPECT_EQ(registry.value()->WriteValue(kLm, "Software\\A", "v", RegValue::Dword(2)).status(), Status::io_error);
    EXPECT_EQ(registry.value()->Flush().status(), Status::io_error);
    EXPECT_EQ(test_support::Slurp(file()), before);
    fs::remove_all(file() + ".tmp");
    ASSERT_TRUE(registry.value()->Flush());  // the change is still pending and lands now
    EXPECT_NE(test_support::Slurp(file()).find("dword:00000002"), std::string::npos);
    EXPECT_FALSE(fs::exists(file() + ".tmp"));
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
