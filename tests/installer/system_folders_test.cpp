// The system folders the script refers to, read on simulated machines whose registry, folders
// and shell folders are changed one at a time.
#include <gtest/gtest.h>

#include "installer/script/system_folders.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using platform::RootKey;
using platform::SpecialFolder;
using test_support::TempMachine;

namespace {

constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion";

// Windows on D:, as some systems were set up beside an older one on C:.
sandbox::MachineConfig WindowsOnD() {
    auto config = sandbox::MachineConfig::Default();
    config.windows_folder = "D:\\WINDOWS";
    config.system_folder = "D:\\WINDOWS\\SYSTEM";
    config.drives.push_back(sandbox::DriveConfig{'D', platform::DriveType::fixed, 1024, {}, false});
    return config;
}

struct Machine {
    explicit Machine(const sandbox::MachineConfig& config = sandbox::MachineConfig::Default())
        : temp(config), platform(temp.Start("C:\\Setup\\Rovexa.exe", "")) {}
    void Forget(const char* value) { ASSERT_TRUE(platform.registry.DeleteValue(RootKey::local_machine, kKey, value)); }
    void Set(const char* value, const char* text) {
        ASSERT_TRUE(platform.registry.WriteValue(RootKey::local_machine, kKey, value, platform::RegValue::Text(text)));
    }
    TempMachine temp;
    platform::Platform& platform;
};

}  // namespace

TEST(SystemFolders, ProgramFilesWithoutTheRegistryValue) {
    Machine machine(WindowsOnD());
    machine.Forget("ProgramFilesDir");
    EXPECT_EQ(installer::ProgramFilesFolder(machine.platform), "C:");  // D:\Program Files does not exist
    EXPECT_EQ(installer::RootDrive(machine.platform), "D:");
    machine.temp.PutFile("D:\\Program Files\\readme.txt", "");
    EXPECT_EQ(installer::ProgramFilesFolder(machine.platform), "D:\\Program Files");
}

TEST(SystemFolders, CommonFilesFallBackFromValueToValueToTheWindowsDrive) {
    Machine machine(WindowsOnD());
    machine.Set("CommonFilesDir", "E:\\Shared");
    machine.Set("ProgramFilesDir", "F:\\Apps");
    EXPECT_EQ(installer::CommonFilesFolder(machine.platform), "E:\\Shared");
    machine.Forget("CommonFilesDir");
    EXPECT_EQ(installer::CommonFilesFolder(machine.platform), "F:\\Apps\\Common Files");
    machine.Forget("ProgramFilesDir");
    EXPECT_EQ(installer::CommonFilesFolder(machine.platform), "D:\\Program Files\\Common Files");
}

TEST(SystemFolders, FontsFolderOrTheSystemFolder) {
    Machine machine;
    EXPECT_EQ(installer::FontsFolder(machine.platform), "C:\\WINDOWS\\Fonts");
    ASSERT_TRUE(machine.platform.files.RemoveFolder("C:\\WINDOWS\\Fonts"));
    EXPECT_EQ(installer::FontsFolder(machine.platform), "C:\\WINDOWS\\system32");
}

TEST(SystemFolders, MenuAndDesktopPreferAllUsersThenTheUser) {
    const std::string all_users = "C:\\Documents and Settings\\All Users";
    const std::string user = "C:\\Documents and Settings\\User";
    {
        Machine machine;
        EXPECT_EQ(installer::ProgramsMenuFolder(machine.platform), all_users + "\\Start Menu\\Programs");
        EXPECT_EQ(installer::DesktopFolder(machine.platform), all_users + "\\Desktop");
    }
    auto config = sandbox::MachineConfig::Default();
    config.special_folders.erase(SpecialFolder::common_programs);
    config.special_folders.erase(SpecialFolder::common_desktop);
    {
        Machine machine(config);
        EXPECT_EQ(installer::ProgramsMenuFolder(machine.platform), user + "\\Start Menu\\Programs");
        EXPECT_EQ(installer::DesktopFolder(machine.platform), user + "\\Desktop");
    }
    config.special_folders.erase(SpecialFolder::programs);
    config.special_folders.erase(SpecialFolder::desktop);
    {
        Machine machine(config);
        EXPECT_EQ(installer::ProgramsMenuFolder(machine.platform), std::nullopt);
        EXPECT_EQ(installer::DesktopFolder(machine.platform), std::nullopt);
    }
}

TEST(SystemFolders, WindowsFamilies) {
    struct Case {
        platform::OsVersion version;
        bool nt;
        bool windows_95;
    };
    const Case cases[] = {
        {{platform::PlatformFamily::windows_95, 4, 0, 950}, false, true},
        {{platform::PlatformFamily::windows_95, 4, 10, 2222}, false, false},  // 98
        {{platform::PlatformFamily::windows_95, 4, 90, 3000}, false, false},  // ME
        {{platform::PlatformFamily::windows_nt, 4, 0, 1381}, true, false},    // NT 4.0
    };
    for (const auto& c : cases) {
        auto config = sandbox::MachineConfig::Default();
        config.version = c.version;
        Machine machine(config);
        EXPECT_EQ(installer::IsNtFamily(machine.platform), c.nt) << c.version.minor;
        EXPECT_EQ(installer::IsWindows95(machine.platform), c.windows_95) << c.version.minor;
    }
}
