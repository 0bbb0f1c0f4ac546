// The in-memory file system keeps the Windows rules the core relies on, and the fault-injecting
// proxies fail exactly the operations they are told to, over it as over the machine's files.
#include <gtest/gtest.h>

#include "platform/sandbox/memory_files.h"
#include "tests/support/faults.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using platform::Access;
using platform::Disposition;
using platform::Status;
using sandbox::MemoryFiles;
using test_support::FaultyFiles;
using test_support::FaultyRegistry;
using test_support::StopSwitch;

namespace {

platform::Status CreateStatus(platform::FileSystem& files, const std::string& path) {
    auto opened = files.Open({path, Access::write, platform::share::none, Disposition::create_always});
    return opened.status();
}

}  // namespace

TEST(MemoryFiles, PathsFoldersAndRefusalsFollowTheSystem) {
    MemoryFiles files;
    files.Put("C:\\Prog\\Sub\\App.EXE", "program");
    EXPECT_EQ(platform::ReadWholeFile(files, "c:\\PROG\\sub\\app.exe").value_or(""), "program");
    EXPECT_EQ(files.ReadAttributes("C:\\Prog\\missing.txt").status(), Status::not_found);
    EXPECT_EQ(files.ReadAttributes("C:\\Nowhere\\missing.txt").status(), Status::path_not_found);
    EXPECT_EQ(CreateStatus(files, "C:\\Nowhere\\new.txt"), Status::path_not_found);
    EXPECT_EQ(CreateStatus(files, "Q:\\new.txt"), Status::path_not_found);

    EXPECT_EQ(files.RemoveFolder("C:\\Prog\\Sub").status(), Status::not_empty);
    ASSERT_TRUE(files.WriteAttributes("C:\\Prog\\Sub\\App.exe", platform::attributes::read_only).ok());
    EXPECT_EQ(files.RemoveFile("C:\\Prog\\Sub\\App.exe").status(), Status::access_denied);
    EXPECT_EQ(CreateStatus(files, "C:\\Prog\\Sub\\App.exe"), Status::access_denied);
    ASSERT_TRUE(files.WriteAttributes("C:\\Prog\\Sub\\App.exe", platform::attributes::normal).ok());
    files.HoldInUse("C:\\PROG\\SUB\\APP.EXE");
    EXPECT_EQ(files.RemoveFile("C:\\Prog\\Sub\\App.exe").status(), Status::sharing_violation);

    files.Put("C:\\Prog\\a.dll", "a");
    files.Put("C:\\Prog\\b.txt", "b");
    auto found = files.FindFiles("C:\\prog\\*.DLL");
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(found->front().name, "a.dll");
    auto all = files.FindFiles("C:\\Prog\\*");
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all->size(), 5u);  // ".", "..", Sub, a.dll, b.txt
    EXPECT_EQ(files.FindFiles("C:\\Prog\\*.zip").status(), Status::not_found);

    ASSERT_TRUE(files.RenameFile("C:\\Prog\\b.txt", "C:\\Prog\\Sub\\c.txt").ok());
    EXPECT_EQ(files.Text("C:\\Prog\\Sub\\C.TXT").value_or(""), "b");
    EXPECT_FALSE(files.Text("C:\\Prog\\b.txt"));
}

TEST(MemoryFiles, FreeSpaceIsWhatTheDriveDoesNotHold) {
    MemoryFiles files;
    files.AddDrive('E', 1000);
    files.Put("E:\\data.bin", std::string(300, 'x'));
    EXPECT_EQ(files.FreeSpace("E:\\").value().free_bytes, 700u);
    ASSERT_TRUE(files.RemoveFile("E:\\data.bin").ok());
    EXPECT_EQ(files.FreeSpace("E:\\").value().free_bytes, 1000u);
    EXPECT_EQ(files.FreeSpace("F:\\").status(), Status::path_not_found);
}

TEST(FaultyFiles, FailsTheNthOperationAFullDiskAFileInUseAndADeniedFolder) {
    MemoryFiles memory;
    memory.Put("C:\\Prog\\kept.txt", "kept");
    StopSwitch stop;
    {
        FaultyFiles files(memory, stop);
        files.FailOperation(2, Status::io_error);
        EXPECT_TRUE(files.ReadAttributes("C:\\Prog\\kept.txt").ok());
        EXPECT_EQ(files.ReadAttributes("C:\\Prog\\kept.txt").status(), Status::io_error);
        EXPECT_TRUE(files.ReadAttributes("C:\\Prog\\kept.txt").ok());
    }
    {
        FaultyFiles files(memory, stop);
        files.FullAfterBytes(10);
        auto file = files.Open({"C:\\Prog\\big.bin", Access::write, platform::share::none, Disposition::create_always});
        ASSERT_TRUE(file.ok());
        EXPECT_TRUE(file.value()->Write("12345678", 8).ok());
        EXPECT_EQ(file.value()->Write("12345", 5).status(), Status::disk_full);
        EXPECT_EQ(memory.Text("C:\\Prog\\big.bin").value_or("?"), "12345678");
    }
    {
        FaultyFiles files(memory, stop);
        files.HoldInUse("c:\\prog\\KEPT.txt");
        files.DenyBelow("C:\\Prog\\Locked");
        EXPECT_EQ(files.RemoveFile("C:\\Prog\\kept.txt").status(), Status::sharing_violation);
        EXPECT_EQ(CreateStatus(files, "C:\\Prog\\kept.txt"), Status::sharing_violation);
        EXPECT_TRUE(files.Open({"C:\\Prog\\kept.txt", Access::read, platform::share::read, Disposition::open_existing}).ok());
        EXPECT_EQ(files.MakeFolder("C:\\Prog\\Locked").status(), Status::access_denied);
        EXPECT_EQ(files.MakeFolder("C:\\Prog\\LOCKED\\Deeper").status(), Status::access_denied);
        EXPECT_TRUE(files.MakeFolder("C:\\Prog\\LockedNot").ok());
    }
    EXPECT_EQ(memory.Text("C:\\Prog\\kept.txt").value_or(""), "kept");
}

TEST(StopSwitch, NoChangeOfFilesOrRegistryPassesAfterTheStop) {
    test_support::TempMachine temp;
    platform::Platform& machine = temp.Start("C:\\Setup\\Rovexa.exe", "");
    StopSwitch stop;
    stop.StopAfterChanges(2);
    FaultyFiles files(machine.files, stop);
    FaultyRegistry registry(machine.registry, stop);
    EXPECT_TRUE(files.MakeFolder("C:\\First").ok());
    EXPECT_TRUE(registry.WriteValue(platform::RootKey::current_user, "Software\\X", "v", platform::RegValue::Dword(1)).ok());
    EXPECT_FALSE(files.MakeFolder("C:\\Third").ok());
    EXPECT_FALSE(registry.DeleteKey(platform::RootKey::current_user, "Software\\X").ok());
    EXPECT_TRUE(stop.stopped());
    // Reads still answer, so that what the stopped program left can be looked at.
    EXPECT_TRUE(registry.ReadValue(platform::RootKey::current_user, "Software\\X", "v").ok());
    EXPECT_TRUE(platform::IsFolder(files, "C:\\First"));
    EXPECT_FALSE(platform::Exists(machine.files, "C:\\Third"));
}
