// The pieces both programs share: the Common Files folder, the shared-library counts and the
// root-key names, each driven through the installer's and the uninstaller's own inputs, so that
// the uninstaller looks where the installer wrote.
#include <gtest/gtest.h>

#include "common/system/common_files.h"
#include "common/system/root_keys.h"
#include "common/system/shared_counts.h"
#include "installer/script/file_entry.h"
#include "tests/installer/file_engine_fixture.h"
#include "tests/uninstaller/uninstaller_fixture.h"

using namespace rvx;
using platform::RegValue;
using platform::RootKey;

namespace {

constexpr const char* kVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

// Windows in a folder two levels below the root of D:, with neither folder value in the
// registry: the Common Files folder is then "Program Files\Common Files" on D:'s root.
sandbox::MachineConfig WindowsDeepOnD() {
    auto config = sandbox::MachineConfig::Default();
    config.windows_folder = "D:\\OS\\WINNT";
    config.system_folder = "D:\\OS\\WINNT\\SYSTEM32";
    config.drives.push_back(sandbox::DriveConfig{'D', platform::DriveType::fixed, 1024, {}, false});
    return config;
}

void ForgetFolderValues(platform::Registry& registry) {
    for (const char* name : {"CommonFilesDir", "ProgramFilesDir"})
        (void)registry.DeleteValue(RootKey::local_machine, kVersionKey, name);
}

}  // namespace

TEST(CommonFiles, TheRuleFallsBackToTheWindowsDrivesRoot) {
    test_support::TempMachine temp;
    auto& platform = temp.Start("C:\\Setup\\Rovexa.exe", "");
    ForgetFolderValues(platform.registry);
    EXPECT_EQ(system::CommonFilesFolder(platform.registry, "D:\\OS\\WINNT"), "D:\\Program Files\\Common Files");
    EXPECT_EQ(system::CommonFilesFolder(platform.registry, "C:\\WINDOWS"), "C:\\Program Files\\Common Files");
    // A value of the wrong type counts as missing.
    ASSERT_TRUE(platform.registry.WriteValue(RootKey::local_machine, kVersionKey, "CommonFilesDir", RegValue::Dword(1)));
    ASSERT_TRUE(platform.registry.WriteValue(RootKey::local_machine, kVersionKey, "ProgramFilesDir", RegValue::Text("E:\\Apps")));
    EXPECT_EQ(system::CommonFilesFolder(platform.registry, "D:\\OS\\WINNT"), "E:\\Apps\\Common Files");
}

TEST(CommonFiles, TheUninstallerCleansUpWhereTheInstallerPutTheSharedFile) {
    // The installer's side: a shared "[FILES]" line goes below the fallback folder.
    std::string installed;
    {
        test_support::FileStages run("", WindowsDeepOnD());
        ForgetFolderValues(run.app.platform().registry);
        installed = installer::ParseFileLine(run.app, "lib.dll,Norvane\\Engine\\,C")->dest_path;
        EXPECT_EQ(installed, "D:\\Program Files\\Common Files\\Norvane\\Engine\\lib.dll");
    }
    // The uninstaller's side, on a machine set up the same way: releasing the file's last count
    // takes the emptied folder below Common Files along.
    test_support::Uninstaller run("", "", WindowsDeepOnD());
    ForgetFolderValues(run.platform.registry);
    run.Put(installed);
    run.SetShared(installed, 1);
    run.SetLog({".E" + installed});
    run.app.ReplayLog();
    EXPECT_FALSE(run.Exists(installed));
    EXPECT_FALSE(run.Exists("D:\\Program Files\\Common Files\\Norvane"));
    EXPECT_TRUE(run.Exists("D:\\Program Files\\Common Files"));
}

TEST(SharedCounts, CountsAreReadAsIntoAFourByteBuffer) {
    EXPECT_EQ(system::DecodeSharedCount(RegValue::Dword(3)), 3u);
    EXPECT_EQ(system::DecodeSharedCount(RegValue::Binary({2, 1})), 0x0102u);  // of any type, low byte first
    EXPECT_EQ(system::DecodeSharedCount(RegValue::Binary({})), 0u);
    EXPECT_EQ(system::DecodeSharedCount(RegValue::Binary({1, 0, 0, 0, 0})), std::nullopt);  // does not fit
    const RegValue kept = system::EncodeSharedCount(0x01020304u, platform::value_type::binary);
    EXPECT_EQ(kept, RegValue::Binary({4, 3, 2, 1}));
    EXPECT_EQ(system::EncodeSharedCount(7), RegValue::Dword(7));
}

TEST(SharedCounts, TheUninstallerLowersACountKeepingItsType) {
    test_support::Uninstaller run;
    const std::string path = "C:\\Shared\\typed.dll";
    run.Put(path);
    ASSERT_TRUE(run.platform.registry.WriteValue(RootKey::local_machine, system::kSharedDllsKey, path,
                                                 RegValue::Binary({3, 0, 0, 0})));
    run.SetLog({".E" + path});
    run.app.ReplayLog();
    EXPECT_TRUE(run.Exists(path));
    auto value = run.platform.registry.ReadValue(RootKey::local_machine, system::kSharedDllsKey, path);
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, RegValue::Binary({2, 0, 0, 0}));
}

TEST(RootKeys, ScriptsNameFourRootsInUpperCaseOnly) {
    EXPECT_EQ(system::RootKeyFromName("HKLM"), RootKey::local_machine);
    EXPECT_EQ(system::RootKeyFromName("HKCR"), RootKey::classes_root);
    EXPECT_EQ(system::RootKeyFromName("HKCU"), RootKey::current_user);
    EXPECT_EQ(system::RootKeyFromName("HKU"), RootKey::users);
    for (const char* other : {"hklm", "HKCC", "HKEY_LOCAL_MACHINE", "", "HKLM "})
        EXPECT_EQ(system::RootKeyFromName(other), std::nullopt) << other;
    // The registry editor's files know the fifth root and any letter case.
    EXPECT_EQ(platform::RootKeyFromShortNameIgnoringCase("hkcc"), RootKey::current_config);
    EXPECT_EQ(platform::RootKeyFromFullName("hkey_users"), RootKey::users);
    EXPECT_STREQ(platform::RootKeyName(RootKey::current_config), "HKEY_CURRENT_CONFIG");
}
