// Windows paths on the simulated machine: normalising and resolving onto host folders.
#include "platform/sandbox/windows_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_machine.h"

using rvx::platform::Status;
using rvx::sandbox::NormalizeWindowsPath;
using rvx::sandbox::ResolveOnHost;
using rvx::sandbox::WindowsPath;

namespace {
const WindowsPath kCurrent{'D', {"Setup", "Disk1"}};

std::string Normal(const std::string& path) {
    auto result = NormalizeWindowsPath(path, kCurrent);
    return result ? result->Text() : std::string("error: ") + rvx::platform::StatusName(result.status());
}
}  // namespace

TEST(WindowsPath, NormalisesDrivesSeparatorsAndDots) {
    EXPECT_EQ(Normal("c:\\Windows\\System32"), "C:\\Windows\\System32");
    EXPECT_EQ(Normal("C:/Program Files/./X/../Y/"), "C:\\Program Files\\Y");
    EXPECT_EQ(Normal("C:\\..\\..\\Windows"), "C:\\Windows");  // never above the root
    EXPECT_EQ(Normal("file.txt"), "D:\\Setup\\Disk1\\file.txt");
    EXPECT_EQ(Normal("..\\Install.ini"), "D:\\Setup\\Install.ini");
    EXPECT_EQ(Normal("\\Install.ini"), "D:\\Install.ini");
    EXPECT_EQ(Normal("C:"), "C:\\");
    EXPECT_EQ(Normal("name.   "), "D:\\Setup\\Disk1\\name");  // trailing dots and blanks go
}

TEST(WindowsPath, RefusesNetworkPathsAndInvalidNames) {
    EXPECT_EQ(Normal("\\\\server\\share\\x"), "error: path not found");
    EXPECT_EQ(Normal(""), "error: path not found");
    EXPECT_EQ(Normal("C:\\a|b"), "error: invalid argument");
    EXPECT_EQ(Normal("C:\\a*"), "error: invalid argument");
}

TEST(WindowsPath, WithinComparesIgnoringCase) {
    WindowsPath folder{'C', {"Program Files", "Demo"}};
    EXPECT_TRUE((WindowsPath{'C', {"PROGRAM FILES", "demo", "x.dll"}}.IsWithin(folder)));
    EXPECT_TRUE(folder.IsWithin(folder));
    EXPECT_FALSE((WindowsPath{'C', {"Program Files"}}.IsWithin(folder)));
    EXPECT_FALSE((WindowsPath{'D', {"Program Files", "Demo"}}.IsWithin(folder)));
    EXPECT_FALSE((WindowsPath{'C', {"Program Files", "Demo2"}}.IsWithin(folder)));
}

TEST(WindowsPath, ResolvesEachNameIgnoringCaseAndKeepsNewNamesAsGiven) {
    namespace fs = std::filesystem;
    fs::path root = rvx::test_support::MakeTempFolder("rvx-path");
    fs::create_directories(root / "Program Files" / "Common Files");
    std::ofstream(root / "Program Files" / "ReadMe.TXT") << "x";
    auto lookup = [&](char drive, std::string& host) {
        if (drive != 'C') return false;
        host = root.string();
        return true;
    };

    auto found = ResolveOnHost(WindowsPath{'C', {"PROGRAM FILES", "readme.txt"}}, lookup);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->exists);
    EXPECT_EQ(found->host_path, (root / "Program Files" / "ReadMe.TXT").string());
    EXPECT_EQ(found->path.Text(), "C:\\Program Files\\ReadMe.TXT");

    auto fresh = ResolveOnHost(WindowsPath{'C', {"program files", "New Folder"}}, lookup);
    ASSERT_TRUE(fresh);
    EXPECT_FALSE(fresh->exists);
    EXPECT_TRUE(fresh->parent_exists);
    EXPECT_EQ(fresh->host_path, (root / "Program Files" / "New Folder").string());

    auto deep = ResolveOnHost(WindowsPath{'C', {"Missing", "x.txt"}}, lookup);
    ASSERT_TRUE(deep);
    EXPECT_FALSE(deep->parent_exists);

    // A file is no folder: nothing below it exists.
    auto below_file = ResolveOnHost(WindowsPath{'C', {"Program Files", "readme.txt", "x"}}, lookup);
    ASSERT_TRUE(below_file);
    EXPECT_FALSE(below_file->parent_exists);

    EXPECT_EQ(ResolveOnHost(WindowsPath{'Q', {}}, lookup).status(), Status::path_not_found);
    fs::remove_all(root);
}
