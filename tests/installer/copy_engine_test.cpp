// The copy stage on a simulated machine: plain and compressed files, both routes, disk groups
// in each layout, and every failure with the message the user sees.
#include <gtest/gtest.h>

#include <filesystem>

#include "installer/files/copy_engine.h"
#include "platform/sandbox/restart.h"
#include "tests/installer/file_engine_fixture.h"

using namespace rvx;
using installer::CopyFiles;
using test_support::FileStages;
using test_support::LiteralSzdd;

namespace {

std::string Pattern(size_t size, unsigned seed) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
    return data;
}

uint32_t Attributes(FileStages& run, const std::string& path) {
    return run.app.platform().files.ReadAttributes(path).value_or(0xFFFFFFFF);
}

sandbox::MachineConfig WithInUse(std::initializer_list<const char*> paths, platform::PlatformFamily family = platform::PlatformFamily::windows_nt) {
    auto config = sandbox::MachineConfig::Default();
    for (const char* path : paths) config.files_in_use.push_back(path);
    config.version.family = family;
    if (family == platform::PlatformFamily::windows_95) config.version.major = 4;
    return config;
}

}  // namespace

TEST(CopyStage, InstallsPlainAndCompressedFilesWithAttributesTimesAndTheLog) {
    FileStages run;
    const std::string program = Pattern(70000, 1), readme = "Read me\r\n";
    run.Put("C:\\MEDIUM\\APP.EX_", LiteralSzdd(program, 'E'));
    run.Put("C:\\MEDIUM\\readme.txt", readme);
    const auto stamp = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now()) -
                       std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(run.temp.HostPath("C:\\MEDIUM\\readme.txt"), stamp);
    run.app.script().files = {"APP.EXE,,,R", "readme.txt,docs\\"};
    run.app.script().uninstall_file = "App.nvu";
    std::filesystem::create_directories(run.temp.HostPath("C:\\Prog"));  // the wizard's folder check made it
    run.app.script().create_files = {"data.db,store,70"};

    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done);
    ASSERT_TRUE(installer::CreatePreallocatedFiles(run.app));
    EXPECT_EQ(run.Read("C:\\Prog\\APP.EXE"), program);
    EXPECT_EQ(run.Read("C:\\Prog\\docs\\readme.txt"), readme);
    EXPECT_EQ(run.Read("C:\\Prog\\store\\data.db"), std::string(70000, '\0'));
    EXPECT_EQ(Attributes(run, "C:\\Prog\\APP.EXE") & 7u, platform::attributes::read_only);
    EXPECT_EQ(Attributes(run, "C:\\Prog\\docs\\readme.txt") & 7u, 0u);
    // The plain source's time goes to the copy; a file stored compressed keeps its own.
    EXPECT_EQ(std::filesystem::last_write_time(run.temp.HostPath("C:\\Prog\\docs\\readme.txt")), stamp);
    EXPECT_NE(std::filesystem::last_write_time(run.temp.HostPath("C:\\Prog\\APP.EXE")), stamp);

    run.app.uninstall_log().Close();
    EXPECT_EQ(run.Read("C:\\Prog\\App.nvu"), ".DC:\\Prog\\App.nvu\r\n");
    EXPECT_EQ(run.app.progress().line1(), "Creating file\n  data.db");
    EXPECT_EQ(run.app.progress().overall_bar(), 100);
    const std::string trace = run.Trace();
    EXPECT_NE(trace.find("Transfer file: APP.EXE,,,R\nsource = C:\\MEDIUM\\APP.EXE, dest = C:\\Prog\\APP.EXE\n"), std::string::npos);
    // The temporary copies are gone.
    EXPECT_FALSE(run.Exists("C:\\WINDOWS\\TEMP\\tmp1"));
    EXPECT_FALSE(run.Exists("C:\\tmp1"));
}

TEST(CopyStage, LargeShortNamedFilesExpandStraightFromTheMedium) {
    FileStages run;
    const std::string big = Pattern(5200000, 2);
    run.Put("C:\\MEDIUM\\BIG.DA_", LiteralSzdd(big, 'T'));
    run.Put("C:\\MEDIUM\\LongerName.data", Pattern(10, 3));
    run.app.script().files = {"BIG.DAT", "LongerName.data,sub\\"};
    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done);
    EXPECT_EQ(run.Read("C:\\Prog\\BIG.DAT"), big);
    EXPECT_EQ(run.Read("C:\\Prog\\sub\\LongerName.data"), Pattern(10, 3));
    EXPECT_EQ(run.app.copy_state().group_bytes_total, 5200010);
    EXPECT_EQ(run.app.copy_state().group_bytes_done, 5200010);
}

TEST(CopyStage, ReadOnlyInstalledFilesAreReplacedAndRulesSkipSilently) {
    FileStages run;
    run.Put("C:\\MEDIUM\\a.txt", "new");
    run.Put("C:\\MEDIUM\\keep.txt", "new");
    run.Put("C:\\Prog\\a.txt", "old");
    run.Put("C:\\Prog\\keep.txt", "old");
    ASSERT_TRUE(run.app.platform().files.WriteAttributes("C:\\Prog\\a.txt", platform::attributes::read_only | platform::attributes::hidden));
    run.app.script().files = {"a.txt,,,S", "keep.txt,,N"};
    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done);
    EXPECT_EQ(run.Read("C:\\Prog\\a.txt"), "new");
    EXPECT_EQ(Attributes(run, "C:\\Prog\\a.txt") & 7u, platform::attributes::system);
    EXPECT_EQ(run.Read("C:\\Prog\\keep.txt"), "old");
}

TEST(DiskGroups, FolderLayoutMovesFromDiskToDiskWithoutAsking) {
    FileStages run("", sandbox::MachineConfig::Default(), "C:\\MEDIUM\\DISK1\\Rovexa.exe");
    run.Put("C:\\MEDIUM\\DISK1\\DISK1", "Disk 1");
    run.Put("C:\\MEDIUM\\DISK1\\a.txt", "first");
    run.Put("C:\\MEDIUM\\DISK2\\DISK2", "Disk 2");
    run.Put("C:\\MEDIUM\\DISK2\\b.txt", "second");
    run.app.script().files = {"#1", "a.txt", "#2", "b.txt"};
    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done);
    EXPECT_EQ(run.Read("C:\\Prog\\a.txt"), "first");
    EXPECT_EQ(run.Read("C:\\Prog\\b.txt"), "second");
    EXPECT_EQ(run.app.copy_state().disk_count, 2);
    EXPECT_EQ(run.app.copy_state().current_disk, 2);
    EXPECT_EQ(run.app.folders().source, "C:\\MEDIUM\\DISK2\\");
    EXPECT_EQ(run.Journal("PAGE"), "");
    EXPECT_NE(run.Trace().find("diskfile = C:\\MEDIUM\\DISK2\\DISK2\nlgread = 6\nread = <Disk 2>\nsb = <Disk 2>\n"), std::string::npos);
}

TEST(DiskGroups, FolderLayoutAsksAfterAFewChecksOfAWrongMarker) {
    FileStages run("page 131 ok\npage 131 cancel\nmessage yes ~ \"quit now\"\n", sandbox::MachineConfig::Default(),
                   "C:\\MEDIUM\\DISK1\\Rovexa.exe");
    run.Put("C:\\MEDIUM\\DISK1\\DISK1", "Disk 1");
    run.Put("C:\\MEDIUM\\DISK1\\a.txt", "first");
    run.Put("C:\\MEDIUM\\DISK2\\DISK2", "Disk two");
    run.app.script().files = {"#1", "a.txt", "#2", "b.txt"};
    EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::user_quit);
    EXPECT_EQ(run.Read("C:\\Prog\\a.txt"), "first");
    EXPECT_NE(run.Journal("PAGE").find("dans le lecteur C."), std::string::npos);
}

TEST(DiskGroups, UnderscoreLayoutPromptsOnceAndTakesTheSiblingFolder) {
    FileStages run("page 131 ok\n", sandbox::MachineConfig::Default(), "C:\\SET\\_DISK_1\\Rovexa.exe");
    run.Put("C:\\SET\\_DISK_1\\DISK1", "Disk 1");
    run.Put("C:\\SET\\_DISK_1\\a.txt", "first");
    run.Put("C:\\SET\\_DISK_2\\DISK2", "Disk 2");
    run.Put("C:\\SET\\_DISK_2\\B.TX_", LiteralSzdd("second", 'T'));
    run.app.script().files = {"#1", "a.txt", "#2", "B.TXT"};
    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done);
    EXPECT_EQ(run.Read("C:\\Prog\\B.TXT"), "second");
    const std::string pages = run.Journal("PAGE");
    EXPECT_NE(pages.find("id=131"), std::string::npos);
    EXPECT_NE(pages.find("\\\"Disk 2\\\""), std::string::npos);
    EXPECT_EQ(pages.find("id=131", pages.find("id=131") + 1), std::string::npos);
}

TEST(DiskGroups, AWrongFloppyBringsThePromptBackUntilTheUserQuits) {
    auto config = sandbox::MachineConfig::Default();
    config.drives.push_back({'A', platform::DriveType::removable, 1440, {}, false});
    FileStages run("page 131 ok\npage 131 cancel\nmessage no ~ \"quit now\"\npage 131 cancel\nmessage yes ~ \"quit now\"\n", config,
                   "A:\\Rovexa.exe");
    run.Put("A:\\DISK1", "Disk 1");
    run.Put("A:\\a.txt", "first");
    run.Put("A:\\DISK2", "Disk 1");
    run.app.script().files = {"#1", "a.txt", "#2", "b.txt"};
    EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::user_quit);
    EXPECT_EQ(run.Read("C:\\Prog\\a.txt"), "first");
}

TEST(DiskGroups, MarkersOnASingleDiskSourcePassAtOnce) {
    FileStages run;
    run.Put("C:\\MEDIUM\\a.txt", "first");
    run.Put("C:\\MEDIUM\\b.txt", "second");
    run.app.script().files = {"#1", "a.txt", "#2", "b.txt"};
    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done);
    EXPECT_EQ(run.app.copy_state().current_disk, 1);  // "#2" starts no new group here
    EXPECT_EQ(run.Read("C:\\Prog\\b.txt"), "second");
}

TEST(CopyFailures, MissingSourceNamesThePlainFile) {
    FileStages run("message ok ~ \"File C:\\\\MEDIUM\\\\gone.txt\\ncannot be found.\"\n");
    run.app.script().files = {"gone.txt"};
    EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::file_failed);
}

TEST(CopyFailures, FileInUseWithoutDelayedReplaceIsRefusedWithTheReason) {
    FileStages run("message ok ~ \"File C:\\\\Prog\\\\busy.dll\\ncannot be created.\"\n"
                   "message ok ~ \"Reason:\\n\\n\\nYou have no right to create or\\nto replace this file.\"\n",
                   WithInUse({"C:\\Prog\\busy.dll"}));
    run.Put("C:\\MEDIUM\\busy.dll", "new");
    run.Put("C:\\Prog\\busy.dll", "old");
    run.app.script().files = {"busy.dll", "never.txt"};
    EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::file_failed);
    EXPECT_EQ(run.Read("C:\\Prog\\busy.dll"), "old");
    EXPECT_NE(run.Trace().find("\nError creating : C:\\Prog\\busy.dll, errno = 13\n"), std::string::npos);
}

TEST(CopyFailures, DeniedFolderAndFullDiskGiveTheirReasons) {
    auto config = sandbox::MachineConfig::Default();
    config.denied_paths.push_back("C:\\Prog\\Locked");
    {
        FileStages run("message ok\nmessage ok ~ \"You have no right\"\n", config);
        run.Put("C:\\MEDIUM\\a.txt", "x");
        run.app.script().files = {"a.txt,Locked\\"};
        EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::file_failed);
    }
    // The temporary copy goes to another drive, so that only the installed file meets the full disk.
    config.Drive('C')->size_kilobytes = 64;
    config.drives.push_back({'E', platform::DriveType::fixed, 100000, {}, false});
    for (auto& [name, value] : config.environment)
        if (name == "TMP") value = "E:\\";
    FileStages run("message ok ~ \"The file C:\\\\Prog\\\\big.bin\\ncannot be created.\\n\\nReason:\\n\\n\\nThere is not enough free space \\non the disk.\"\n",
                   config);
    run.Put("C:\\MEDIUM\\big.bin", Pattern(200000, 4));
    run.app.script().files = {"big.bin,,,R"};  // no size given: the estimate counts nothing
    EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::file_failed);
    // The partly written file stays, with its attributes.
    EXPECT_TRUE(run.Exists("C:\\Prog\\big.bin"));
    EXPECT_EQ(Attributes(run, "C:\\Prog\\big.bin") & 1u, 1u);
}

TEST(CopyFailures, DamagedCompressedFileCannotBeRead) {
    FileStages run("message ok ~ \"File cannot be read.\"\n");
    std::string damaged = LiteralSzdd(Pattern(5000, 5), 'T');
    damaged.resize(damaged.size() / 2);
    run.Put("C:\\MEDIUM\\CUT.DA_", damaged);
    run.app.script().files = {"CUT.DAT"};
    EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::file_failed);
}

TEST(CopyFailures, ADamagedHeaderOrASizeThatDisagreesCannotBeReadNotNotFound) {
    for (const bool header_cut : {true, false}) {
        FileStages run("message ok ~ \"File cannot be read.\"\n");
        std::string stored = LiteralSzdd(Pattern(5000, 5), 'T');
        if (header_cut) {
            stored.resize(12);  // the signature, then a header cut off
        } else {
            stored[10] = static_cast<char>(0x10);  // 4,880 bytes claimed of 5,000
            stored[11] = static_cast<char>(0x13);
        }
        run.Put("C:\\MEDIUM\\CUT.DA_", stored);
        run.app.script().files = {"CUT.DAT"};
        EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::file_failed) << header_cut;
        EXPECT_EQ(run.Journal("MESSAGE").find("not found"), std::string::npos) << run.Journal("MESSAGE");
    }
}

TEST(CopyFailures, ALogThatCannotBeWrittenStopsBeforeTheNextFile) {
    FileStages run;
    run.Put("C:\\MEDIUM\\a.txt", "a");
    run.Put("C:\\MEDIUM\\b.txt", "b");
    run.app.script().uninstall_file = "demo.nvu";
    run.app.script().files = {"a.txt", "b.txt"};
    // A folder stands where the new log must go: nothing can be recorded, so nothing is copied.
    ASSERT_TRUE(run.app.platform().files.MakeFolder("C:\\Prog"));
    run.Put("C:\\Prog\\demo.nvu", "an old log");
    ASSERT_TRUE(run.app.platform().files.MakeFolder("C:\\Prog\\demo.nvu.new"));  // where the new one must go
    EXPECT_EQ(CopyFiles(run.app), installer::CopyStageResult::log_failed);
    EXPECT_FALSE(run.Exists("C:\\Prog\\a.txt"));
    EXPECT_EQ(run.Read("C:\\Prog\\demo.nvu"), "an old log");
}

TEST(DelayedReplace, FileInUseIsReplacedWhenTheMachineRestarts) {
    FileStages run("", WithInUse({"C:\\Prog\\busy.dll"}));
    run.Put("C:\\MEDIUM\\busy.dll", "new");
    run.Put("C:\\Prog\\busy.dll", "old");
    run.app.script().files = {"busy.dll,,D"};
    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done);
    EXPECT_TRUE(run.app.flags().restart);
    EXPECT_EQ(run.Read("C:\\Prog\\busy.009"), "new");
    EXPECT_EQ(run.Read("C:\\Prog\\busy.dll"), "old");
    auto pending = run.app.platform().registry.ReadValue(platform::RootKey::local_machine,
                                                         "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                                         "PendingFileRenameOperations");
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->data, platform::RegValue::MultiText({"\\??\\C:\\Prog\\busy.009", "!\\??\\C:\\Prog\\busy.dll"}).data);

    ASSERT_TRUE(sandbox::RestartMachine(run.temp.machine()));
    EXPECT_EQ(run.Read("C:\\Prog\\busy.dll"), "new");
    EXPECT_FALSE(run.Exists("C:\\Prog\\busy.009"));
}

TEST(DelayedReplace, TheNinetyFiveFamilyKeepsEveryScheduledFile) {
    FileStages run("", WithInUse({"C:\\Prog\\one.dll", "C:\\Prog\\two.dll"}, platform::PlatformFamily::windows_95));
    for (const char* name : {"one.dll", "two.dll"}) {
        run.Put(std::string("C:\\MEDIUM\\") + name, std::string("new ") + name);
        run.Put(std::string("C:\\Prog\\") + name, "old");
    }
    run.app.script().files = {"one.dll,,D", "two.dll,,D"};
    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done);
    EXPECT_EQ(run.Read("C:\\WINDOWS\\WININIT.INI"),
              "[Rename]\r\nNUL=C:\\Prog\\one.dll\r\nC:\\Prog\\one.dll=C:\\Prog\\one.009\r\n"
              "NUL=C:\\Prog\\two.dll\r\nC:\\Prog\\two.dll=C:\\Prog\\two.009\r\n");
    ASSERT_TRUE(sandbox::RestartMachine(run.temp.machine()));
    EXPECT_EQ(run.Read("C:\\Prog\\one.dll"), "new one.dll");
    EXPECT_EQ(run.Read("C:\\Prog\\two.dll"), "new two.dll");
}

TEST(CopyStage, TheDirectRouteStartsAtFiveMillionStoredBytes) {
    // The direct route leaves the file bar full after expanding; the temporary route empties it
    // after its copy and the expansion from the copy does not move it.
    for (const auto& [size, direct] : {std::pair<size_t, bool>{5000000, true}, {4999999, false}}) {
        FileStages run;
        run.Put("C:\\MEDIUM\\EDGE.DAT", Pattern(size, 4));
        run.app.script().files = {"EDGE.DAT"};
        ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done) << size;
        EXPECT_EQ(run.Read("C:\\Prog\\EDGE.DAT").size(), size);
        EXPECT_EQ(run.app.progress().file_bar(), direct ? 100 : 0) << size;
    }
}

TEST(CopyStage, ThePlainSourcesTimeGoesToTheFileOnBothRoutesButNotToAReplacementAtRestart) {
    const auto stamp = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now()) -
                       std::chrono::hours(24 * 90);
    for (const size_t size : {size_t{5000000}, size_t{12}}) {
        FileStages run("", WithInUse({"C:\\Prog\\busy.dll"}));
        run.Put("C:\\MEDIUM\\EDGE.DAT", Pattern(size, 5));
        run.Put("C:\\MEDIUM\\busy.dll", "new");
        run.Put("C:\\Prog\\busy.dll", "old");
        for (const char* name : {"C:\\MEDIUM\\EDGE.DAT", "C:\\MEDIUM\\busy.dll"})
            std::filesystem::last_write_time(run.temp.HostPath(name), stamp);
        run.app.script().files = {"EDGE.DAT,,,R", "busy.dll,,D"};
        ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::done) << size;
        EXPECT_EQ(std::filesystem::last_write_time(run.temp.HostPath("C:\\Prog\\EDGE.DAT")), stamp) << size;
        EXPECT_EQ(Attributes(run, "C:\\Prog\\EDGE.DAT") & 7u, platform::attributes::read_only) << size;
        // The file in use cannot be opened for its times, and the one that replaces it gets none.
        EXPECT_EQ(run.Read("C:\\Prog\\busy.009"), "new");
        EXPECT_NE(std::filesystem::last_write_time(run.temp.HostPath("C:\\Prog\\busy.009")), stamp);
        EXPECT_NE(std::filesystem::last_write_time(run.temp.HostPath("C:\\Prog\\busy.dll")), stamp);
    }
}

TEST(DiskGroups, TheOverallBarGivesEachDiskAnEqualShare) {
    // Three disks in the folder layout; the third disk's only file is missing, so the stage
    // stops with the bar where the first two full disks left it: two thirds, each third whole
    // percent (100 / 3 = 33).
    FileStages run("message ok\n", sandbox::MachineConfig::Default(), "C:\\MEDIUM\\DISK1\\Rovexa.exe");
    run.Put("C:\\MEDIUM\\DISK1\\DISK1", "Disk 1");
    run.Put("C:\\MEDIUM\\DISK1\\a.txt", Pattern(3000, 5));
    run.Put("C:\\MEDIUM\\DISK2\\DISK2", "Disk 2");
    run.Put("C:\\MEDIUM\\DISK2\\b.txt", Pattern(1000, 6));
    run.Put("C:\\MEDIUM\\DISK3\\DISK3", "Disk 3");
    run.app.script().files = {"#1", "a.txt", "#2", "b.txt", "#3", "missing.txt"};
    ASSERT_EQ(CopyFiles(run.app), installer::CopyStageResult::file_failed);
    EXPECT_EQ(run.app.copy_state().disk_count, 3);
    EXPECT_EQ(run.app.copy_state().current_disk, 3);
    EXPECT_EQ(run.app.progress().overall_bar(), 66);
}
