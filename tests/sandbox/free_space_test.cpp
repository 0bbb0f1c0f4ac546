// Free space of the simulated machine's drives: taken by writes that make files longer, given
// back by deletions and truncations, a write that does not fit refused with "disk full" before
// anything of it is written, and the new value kept in machine.ini for the next run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sandbox/machine_ini_update.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx::platform;
using rvx::sandbox::MachineConfig;
using rvx::test_support::Slurp;
using rvx::test_support::TempMachine;

namespace {

MachineConfig WithFreeKilobytes(uint64_t kilobytes) {
    MachineConfig config = MachineConfig::Default();
    config.Drive('C')->free_kilobytes = kilobytes;
    return config;
}

uint64_t FreeOnC(FileSystem& files) { return files.FreeSpace("C:\\").value_or(DiskSpace{}).free_bytes; }

std::unique_ptr<File> OpenForWriting(FileSystem& files, const std::string& path, Disposition disposition) {
    auto file = files.Open(OpenRequest{path, Access::read_write, share::none, disposition});
    EXPECT_TRUE(file) << path << ": " << file.error().Describe();
    return file ? std::move(file).value() : nullptr;
}

}  // namespace

TEST(FreeSpace, ShrinksWithGrowthAndComesBackWithDeletionAndTruncation) {
    TempMachine temp(WithFreeKilobytes(100));
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    EXPECT_EQ(FreeOnC(files), 102400u);

    auto file = OpenForWriting(files, "C:\\data.bin", Disposition::create_new);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Write(std::string(10000, 'a').data(), 10000));
    EXPECT_EQ(FreeOnC(files), 92400u);
    // Writing over existing bytes takes nothing; writing past the end takes the gap too.
    ASSERT_TRUE(file->Seek(0, SeekFrom::begin));
    ASSERT_TRUE(file->Write(std::string(100, 'b').data(), 100));
    EXPECT_EQ(FreeOnC(files), 92400u);
    ASSERT_TRUE(file->Seek(50, SeekFrom::end));
    ASSERT_TRUE(file->Write("0123456789", 10));
    EXPECT_EQ(FreeOnC(files), 92340u);
    file.reset();

    ASSERT_TRUE(OpenForWriting(files, "C:\\data.bin", Disposition::create_always));  // emptied
    EXPECT_EQ(FreeOnC(files), 102400u);
    ASSERT_TRUE(WriteWholeFile(files, "C:\\data.bin", std::string(3000, 'c')));
    EXPECT_EQ(FreeOnC(files), 99400u);
    ASSERT_TRUE(files.RemoveFile("C:\\data.bin"));
    EXPECT_EQ(FreeOnC(files), 102400u);

    // An .ini value rewritten shorter gives the difference back.
    ASSERT_TRUE(files.WriteIniValue("C:\\app.ini", "Main", "Path", std::string(200, 'x')));
    const uint64_t with_long_value = FreeOnC(files);
    ASSERT_TRUE(files.WriteIniValue("C:\\app.ini", "Main", "Path", "x"));
    EXPECT_EQ(FreeOnC(files), with_long_value + 199);
    EXPECT_EQ(temp.ReadFile("C:\\app.ini"), "[Main]\r\nPath=x\r\n");
}

TEST(FreeSpace, AWriteThatDoesNotFitFailsWithDiskFullAndWritesNothing) {
    TempMachine temp(WithFreeKilobytes(4));
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    auto file = OpenForWriting(files, "C:\\big.bin", Disposition::create_always);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Write(std::string(3000, 'a').data(), 3000));
    auto refused = file->Write(std::string(2000, 'b').data(), 2000);
    EXPECT_EQ(refused.status(), Status::disk_full);
    EXPECT_NE(refused.error().detail.find("No space left"), std::string::npos) << refused.error().detail;
    EXPECT_EQ(file->Size().value_or(0), 3000u);
    EXPECT_EQ(FreeOnC(files), 1096u);
    // What fits exactly still goes in; then nothing more does.
    ASSERT_TRUE(file->Write(std::string(1096, 'c').data(), 1096));
    EXPECT_EQ(FreeOnC(files), 0u);
    EXPECT_EQ(file->Write("d", 1).status(), Status::disk_full);
    file.reset();
    EXPECT_EQ(fs::file_size(temp.HostPath("C:\\big.bin")), 4096u);
    EXPECT_EQ(WriteWholeFile(files, "C:\\more.txt", "x").status(), Status::disk_full);
    EXPECT_EQ(temp.ReadFile("C:\\more.txt"), "");
}

TEST(FreeSpace, MovingAFileToAnotherDriveNeedsRoomThere) {
    MachineConfig config = WithFreeKilobytes(10);
    config.drives.push_back({'E', DriveType::removable, 1, "", false});
    TempMachine temp(config);
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(WriteWholeFile(files, "C:\\small.txt", std::string(1000, 's')));
    ASSERT_TRUE(WriteWholeFile(files, "C:\\large.txt", std::string(2000, 'l')));
    EXPECT_EQ(files.RenameFile("C:\\large.txt", "E:\\large.txt").status(), Status::disk_full);
    EXPECT_EQ(temp.ReadFile("C:\\large.txt"), std::string(2000, 'l'));
    ASSERT_TRUE(files.RenameFile("C:\\small.txt", "E:\\small.txt"));
    EXPECT_EQ(files.FreeSpace("E:\\").value_or(DiskSpace{}).free_bytes, 24u);
    EXPECT_EQ(FreeOnC(files), 10240u - 2000u);
}

TEST(FreeSpace, LastsForTheNextRunInMachineIniWhoseOtherLinesStayAsWritten) {
    TempMachine temp(WithFreeKilobytes(1000));
    const fs::path ini = temp.folder() / "machine" / "machine.ini";
    std::ofstream(ini, std::ios::app) << "; kept by hand\n";
    const fs::path medium = rvx::test_support::MakeTempFolder("rvx-medium");
    temp.Reopen();
    ASSERT_TRUE(temp.machine().Mount({'D', DriveType::cdrom, 650 * 1024, medium.string(), true}));
    {
        FileSystem& files = temp.Start("D:\\Rovexa.exe", "").files;
        ASSERT_TRUE(WriteWholeFile(files, "C:\\a.bin", std::string(2148, 'a')));
    }
    temp.Reopen();
    const std::string text = Slurp(ini);
    // 1,024,000 - 2,148 bytes, in whole kilobytes.
    EXPECT_NE(text.find("\nC=fixed, 997\n"), std::string::npos) << text;
    EXPECT_NE(text.find("; kept by hand\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("D="), std::string::npos) << text;
    EXPECT_EQ(FreeOnC(temp.Start("C:\\Rovexa.exe", "").files), 997u * 1024);
    fs::remove_all(medium);
}

TEST(MachineIniUpdate, ChangesOnlyTheLinesConcerned) {
    const std::string text =
        "[system]\r\nfamily=nt\r\n[drives]\r\n; mine\r\nc = fixed,100\r\nE=removable, 5, \"/mnt/e\", readonly\r\n"
        "[in-use]\r\n; open files\r\nC:\\a.dll\r\nC:\\b.dll\r\n\r\n[denied]\r\nC:\\X\r\n";
    auto drives = rvx::sandbox::WithDriveFreeSpace(text, 'E', 7, "machine.ini");
    ASSERT_TRUE(drives) << drives.error().Describe();
    EXPECT_NE(drives->find("\r\nE=removable, 7, \"/mnt/e\", readonly\r\n"), std::string::npos) << drives.value();
    EXPECT_NE(drives->find("\r\nc = fixed,100\r\n"), std::string::npos) << drives.value();
    EXPECT_EQ(rvx::sandbox::WithDriveFreeSpace(text, 'Q', 1, "machine.ini").status(), Status::not_found);

    auto cleared = rvx::sandbox::WithFilesInUse(text, {}, "machine.ini");
    ASSERT_TRUE(cleared);
    EXPECT_EQ(cleared.value(),
              "[system]\r\nfamily=nt\r\n[drives]\r\n; mine\r\nc = fixed,100\r\nE=removable, 5, \"/mnt/e\", readonly\r\n"
              "[in-use]\r\n; open files\r\n\r\n[denied]\r\nC:\\X\r\n");
    auto listed = rvx::sandbox::WithFilesInUse(cleared.value(), {"C:\\c.dll"}, "machine.ini");
    ASSERT_TRUE(listed);
    EXPECT_NE(listed->find("[in-use]\r\n; open files\r\nC:\\c.dll\r\n\r\n[denied]"), std::string::npos) << listed.value();
    auto added = rvx::sandbox::WithFilesInUse("[drives]\nC=fixed, 1", {"C:\\d.dll"}, "machine.ini");
    ASSERT_TRUE(added);
    EXPECT_EQ(added.value(), "[drives]\nC=fixed, 1\n[in-use]\nC:\\d.dll\n");
}
