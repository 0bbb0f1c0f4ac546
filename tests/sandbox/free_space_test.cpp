// Free space of the simulated machine's drives: the drive's size less what its folder holds,
// through writes, copies, renames, moves, replacements at restart, deletions and truncations,
// and after a program killed midway; a write that does not fit refused with "disk full" before
// anything of it is written; machine.ini never rewritten for it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sandbox/machine_ini_update.h"
#include "platform/sandbox/restart.h"
#include "platform/sandbox/scripted_responder.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx::platform;
using rvx::sandbox::MachineConfig;
using rvx::test_support::Slurp;
using rvx::test_support::TempMachine;

namespace {

MachineConfig WithDriveOfKilobytes(uint64_t kilobytes) {
    MachineConfig config = MachineConfig::Default();
    config.Drive('C')->size_kilobytes = kilobytes;
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
    TempMachine temp(WithDriveOfKilobytes(100));
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

TEST(FreeSpace, ARemovalJustAfterTheCloseGivesBackWhatTheFileHeldThen) {
    TempMachine temp(WithDriveOfKilobytes(100));
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(files.MakeFolder("C:\\Temp"));
    const uint64_t empty = FreeOnC(files);
    for (const bool other_open_between : {false, true}) {
        auto file = OpenForWriting(files, "C:\\Temp\\copy.tmp", Disposition::create_always);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->Write(std::string(5000, 'a').data(), 5000));
        ASSERT_TRUE(file->Seek(1000, SeekFrom::end));  // and a gap the host fills
        ASSERT_TRUE(file->Write("end", 3));
        file.reset();
        ASSERT_EQ(FreeOnC(files), empty - 6003);
        if (other_open_between) {
            ASSERT_TRUE(ReadWholeFile(files, "C:\\Temp\\copy.tmp"));
        }
        ASSERT_TRUE(files.RemoveFile("c:\\temp\\COPY.TMP"));
        EXPECT_EQ(FreeOnC(files), empty) << other_open_between;
    }
    // A file closed last is not another one's size.
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Temp\\big.bin", std::string(8000, 'b')));
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Temp\\small.bin", "s"));
    ASSERT_TRUE(files.RemoveFile("C:\\Temp\\big.bin"));
    EXPECT_EQ(FreeOnC(files), empty - 1);
}

TEST(FreeSpace, DeletionsBeforeTheFirstQuestionAreInTheCountItMakes) {
    TempMachine temp(WithDriveOfKilobytes(100));
    temp.PutFile("C:\\Old\\a.txt", std::string(4000, 'a'));
    temp.PutFile("C:\\Old\\b.txt", std::string(6000, 'b'));
    temp.PutFile("C:\\Old\\Sub\\c.txt", std::string(1000, 'c'));
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(files.ListNames("C:\\Old\\*"));  // the folder's names known, its kinds too
    ASSERT_TRUE(files.RemoveFile("C:\\Old\\A.TXT"));
    EXPECT_EQ(files.RemoveFile("C:\\Old\\Sub").status(), Status::access_denied);  // a folder stays
    EXPECT_EQ(FreeOnC(files), 102400u - 7000);
    // Once counted, a deletion gives its bytes back.
    ASSERT_TRUE(files.RemoveFile("C:\\Old\\b.txt"));
    EXPECT_EQ(FreeOnC(files), 102400u - 1000);
    EXPECT_TRUE(fs::exists(temp.HostPath("C:\\Old\\Sub\\c.txt")));
}

TEST(FreeSpace, AWriteThatDoesNotFitFailsWithDiskFullAndWritesNothing) {
    MachineConfig config = WithDriveOfKilobytes(4);
    config.drives.push_back({'E', DriveType::fixed, 100, "", false});
    TempMachine temp(config);
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    auto file = OpenForWriting(files, "C:\\big.bin", Disposition::create_always);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Write(std::string(3000, 'a').data(), 3000));
    auto refused = file->Write(std::string(2000, 'b').data(), 2000);
    EXPECT_EQ(refused.status(), Status::disk_full);
    EXPECT_NE(refused.error().detail.find("No space left"), std::string::npos) << refused.error().detail;
    EXPECT_EQ(file->Size().value_or(0), 3000u);
    EXPECT_EQ(FreeOnC(files), 1096u);
    // Nor when the bytes come straight from another file.
    temp.PutFile("E:\\part.bin", std::string(2000, 'p'));
    auto part = files.Open(OpenRequest{"E:\\part.bin", Access::read, share::read, Disposition::open_existing});
    ASSERT_TRUE(part);
    ASSERT_TRUE(part.value()->Size());
    std::vector<char> buffer(65535);
    const Transfer moved = file->WriteFrom(*part.value(), buffer.size(), buffer.data());
    ASSERT_TRUE(moved.write_error);
    EXPECT_EQ(moved.write_error->status, Status::disk_full);
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
    MachineConfig config = WithDriveOfKilobytes(10);
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

TEST(FreeSpace, IsTheDrivesSizeLessWhatItHoldsInEveryRunAndMachineIniStaysAsWritten) {
    TempMachine temp(WithDriveOfKilobytes(1000));
    const fs::path ini = temp.folder() / "machine" / "machine.ini";
    std::ofstream(ini, std::ios::app) << "; kept by hand\n";
    const std::string ini_before = Slurp(ini);
    const fs::path medium = rvx::test_support::MakeTempFolder("rvx-medium");
    std::ofstream(medium / "setup.bin", std::ios::binary) << std::string(5000, 'm');
    temp.Reopen();
    ASSERT_TRUE(temp.machine().Mount({'D', DriveType::cdrom, 650 * 1024, medium.string(), true}));
    {
        FileSystem& files = temp.Start("D:\\Rovexa.exe", "").files;
        EXPECT_EQ(files.FreeSpace("D:\\").value_or(DiskSpace{}).free_bytes, 650u * 1024 * 1024 - 5000);
        ASSERT_TRUE(WriteWholeFile(files, "C:\\a.bin", std::string(2148, 'a')));
    }
    temp.Reopen();
    // The size machine.ini gives (the free figure of a machine written before, read as its
    // size) is never rewritten; what the drive holds makes the difference.
    EXPECT_EQ(Slurp(ini), ini_before);
    EXPECT_EQ(FreeOnC(temp.Start("C:\\Rovexa.exe", "").files), 1000u * 1024 - 2148);
    // Files put on the drive from outside any program count as well.
    temp.PutFile("C:\\outside.txt", std::string(1000, 'o'));
    temp.Reopen();
    EXPECT_EQ(FreeOnC(temp.Start("C:\\Rovexa.exe", "").files), 1000u * 1024 - 3148);
    fs::remove_all(medium);
}

TEST(FreeSpace, AgreesWithWhatTheDriveHoldsAfterEveryKindOfChange) {
    MachineConfig config = WithDriveOfKilobytes(1000);
    config.drives.push_back({'E', DriveType::removable, 100, "", false});
    TempMachine temp(config);
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    // Counted here without the machine: every file below the drive's folder.
    const auto held = [&](char drive) {
        uint64_t bytes = 0;
        for (const auto& item : fs::recursive_directory_iterator(temp.folder() / "machine" / "drives" / std::string(1, drive)))
            if (item.is_regular_file()) bytes += item.file_size();
        return bytes;
    };
    const auto expect_agreement = [&](const char* after) {
        EXPECT_EQ(FreeOnC(files), 1000u * 1024 - held('C')) << after;
        EXPECT_EQ(files.FreeSpace("E:\\").value_or(DiskSpace{}).free_bytes, 100u * 1024 - held('E')) << after;
    };
    ASSERT_TRUE(files.MakeFolder("C:\\Temp"));
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Temp\\copy.tmp", std::string(7000, 'c')));
    expect_agreement("a copy");
    ASSERT_TRUE(files.RenameFile("C:\\Temp\\copy.tmp", "C:\\Temp\\copy.dll"));
    expect_agreement("a rename");
    ASSERT_TRUE(files.RenameFile("C:\\Temp\\copy.dll", "E:\\copy.dll"));
    expect_agreement("a move to another drive");
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Temp\\lib.new", std::string(3000, 'n')));
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Temp\\lib.dll", std::string(9000, 'o')));
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Temp\\junk.txt", std::string(500, 'j')));
    ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\Temp\\lib.new", "C:\\Temp\\lib.dll"));
    ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\Temp\\junk.txt", ""));
    ASSERT_TRUE(WriteWholeFile(files, "C:\\Temp\\lib.dll", std::string(100, 'o')));
    expect_agreement("a file emptied and written again");
    ASSERT_TRUE(files.WriteIniValue("C:\\Temp\\app.ini", "Main", "Path", std::string(300, 'p')));
    ASSERT_TRUE(files.WriteIniValue("C:\\Temp\\app.ini", "Main", "Path", "p"));
    ASSERT_TRUE(files.RemoveFile("C:\\Temp\\app.ini"));
    expect_agreement("an .ini file cut shorter and deleted");
    ASSERT_TRUE(files.RemoveFile("E:\\copy.dll"));
    expect_agreement("a deletion");
    temp.Reopen();
    ASSERT_TRUE(rvx::sandbox::RestartMachine(temp.machine()));
    EXPECT_EQ(temp.ReadFile("C:\\Temp\\lib.dll"), std::string(3000, 'n'));
    FileSystem& after_restart = temp.Start("C:\\Rovexa.exe", "").files;
    EXPECT_EQ(FreeOnC(after_restart), 1000u * 1024 - held('C'));
    EXPECT_EQ(FreeOnC(after_restart), 1000u * 1024 - 3000);
}

TEST(FreeSpace, TwoHandlesSharingTheWritingOfOneFileTakeEachByteOnce) {
    TempMachine temp(WithDriveOfKilobytes(100));
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    const auto open = [&](Disposition disposition) {
        auto file = files.Open(OpenRequest{"C:\\shared.log", Access::write, share::read | share::write, disposition});
        EXPECT_TRUE(file) << file.error().Describe();
        return file ? std::move(file).value() : nullptr;
    };
    auto first = open(Disposition::create_new);
    auto second = open(Disposition::open_existing);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->Write(std::string(4000, 'a').data(), 4000));
    // The other handle, still at the start, writes over those bytes and then past them.
    ASSERT_TRUE(second->Write(std::string(6000, 'b').data(), 6000));
    ASSERT_TRUE(first->Write(std::string(1000, 'c').data(), 1000));
    EXPECT_EQ(FreeOnC(files), 102400u - 6000);
    ASSERT_TRUE(first->Seek(0, SeekFrom::end));
    ASSERT_TRUE(first->Write(std::string(500, 'd').data(), 500));
    ASSERT_TRUE(second->Write(std::string(100, 'e').data(), 100));
    EXPECT_EQ(FreeOnC(files), 102400u - 6500);
    first.reset();
    second.reset();
    EXPECT_EQ(temp.ReadFile("C:\\shared.log").size(), 6500u);
}

// A program killed midway does none of its bookkeeping: free space is whatever the drive then
// holds, the same as the killed program last saw.
TEST(FreeSpace, AProgramKilledMidwayLeavesItConsistent) {
    TempMachine temp(WithDriveOfKilobytes(1000));
    temp.PutFile("C:\\old.txt", std::string(4000, 'x'));
    const fs::path seen = temp.folder() / "seen-by-child.txt";
    const std::string machine_folder = (temp.folder() / "machine").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Its own machine and program, ended by _exit: no destructor runs, nothing is saved.
        auto machine = rvx::sandbox::Machine::Open(machine_folder);
        if (!machine) ::_exit(1);
        auto responder = rvx::sandbox::ScriptedResponder::Parse("", "none").value();
        auto* session = new rvx::sandbox::ProgramSession(*machine.value(), {"C:\\Rovexa.exe", "", "", {}}, responder);
        FileSystem& files = session->platform().files;
        (void)WriteWholeFile(files, "C:\\new.bin", std::string(6000, 'n'));
        (void)files.RemoveFile("C:\\old.txt");
        auto half = files.Open(OpenRequest{"C:\\half.bin", Access::write, share::none, Disposition::create_new});
        if (half) (void)half.value()->Write(std::string(2500, 'h').data(), 2500);
        std::ofstream(seen) << FreeOnC(files);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    temp.Reopen();
    const uint64_t now = FreeOnC(temp.Start("C:\\Rovexa.exe", "").files);
    EXPECT_EQ(now, 1000u * 1024 - 6000 - 2500);
    EXPECT_EQ(Slurp(seen), std::to_string(now));
}

TEST(MachineIniUpdate, ChangesOnlyTheLinesConcerned) {
    const std::string text =
        "[system]\r\nfamily=nt\r\n[drives]\r\n; mine\r\nc = fixed,100\r\nE=removable, 5, \"/mnt/e\", readonly\r\n"
        "[in-use]\r\n; open files\r\nC:\\a.dll\r\nC:\\b.dll\r\n\r\n[denied]\r\nC:\\X\r\n";
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
