// Replacements at the next system start: recorded as the NT family's Session Manager records
// them, refused where the system has no such service, and carried out by a restart of the
// machine (PendingFileRenameOperations on NT, WININIT.INI on the 95 family), which also
// releases the files programs held open.
#include "platform/sandbox/restart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sandbox/pending_renames.h"
#include "tests/support/temp_machine.h"

using namespace rvx::platform;
using rvx::sandbox::MachineConfig;
using rvx::sandbox::RestartMachine;
using rvx::test_support::TempMachine;

namespace {

MachineConfig Config(PlatformFamily family, std::vector<std::string> in_use = {}) {
    MachineConfig config = MachineConfig::Default();
    if (family == PlatformFamily::windows_95) config.version = {PlatformFamily::windows_95, 4, 10, 2222};
    config.files_in_use = std::move(in_use);
    return config;
}

Result<RegValue> PendingValue(TempMachine& temp) {
    return temp.machine().registry().ReadValue(RootKey::local_machine, rvx::sandbox::kSessionManagerKey,
                                               rvx::sandbox::kPendingRenamesValue);
}

std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

}  // namespace

TEST(DelayedMoves, RecordedInPendingFileRenameOperationsAsTheSystemDoes) {
    TempMachine temp(Config(PlatformFamily::windows_nt));
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    ASSERT_TRUE(files.SetCurrentFolder("C:\\WINDOWS"));
    ASSERT_TRUE(files.ScheduleMoveAtRestart("system32\\new.tmp", "c:\\windows\\system32\\lib.dll"));
    ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\Temp\\old.txt", ""));
    auto value = PendingValue(temp);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, value_type::multi_string);
    using namespace std::string_view_literals;
    EXPECT_EQ(value->data, Bytes("\\??\\C:\\WINDOWS\\system32\\new.tmp\0!\\??\\C:\\windows\\system32\\lib.dll\0"
                                 "\\??\\C:\\Temp\\old.txt\0\0\0"sv));

    auto pairs = rvx::sandbox::ParsePendingRenames(value->data);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].from, "C:\\WINDOWS\\system32\\new.tmp");
    EXPECT_EQ(pairs[0].to, "C:\\windows\\system32\\lib.dll");
    EXPECT_TRUE(pairs[0].replace_existing);
    EXPECT_EQ(pairs[1].from, "C:\\Temp\\old.txt");
    EXPECT_EQ(pairs[1].to, "");
    // Pairs written without the replace mark, and a list without its final terminator, read too.
    auto plain = rvx::sandbox::ParsePendingRenames(Bytes("\\??\\C:\\a\0\\??\\C:\\b\0C:\\c\0"sv));
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].to, "C:\\b");
    EXPECT_FALSE(plain[0].replace_existing);
}

TEST(DelayedMoves, RefusedOnThe95FamilyAndWithoutAdministratorRights) {
    {
        TempMachine temp(Config(PlatformFamily::windows_95));
        FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
        EXPECT_EQ(files.ScheduleMoveAtRestart("C:\\a.tmp", "C:\\a.dll").status(), Status::unsupported);
        EXPECT_FALSE(PendingValue(temp));
    }
    MachineConfig config = Config(PlatformFamily::windows_nt);
    config.administrator = false;
    TempMachine temp(config);
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    EXPECT_EQ(files.ScheduleMoveAtRestart("C:\\a.tmp", "C:\\a.dll").status(), Status::access_denied);
    EXPECT_FALSE(PendingValue(temp));
}

TEST(Restart, NtCarriesOutThePairsInOrderReleasesFilesInUseAndDeletesTheValue) {
    TempMachine temp(Config(PlatformFamily::windows_nt, {"C:\\WINDOWS\\system32\\lib.dll"}));
    temp.PutFile("C:\\WINDOWS\\system32\\lib.dll", "old library");
    temp.PutFile("C:\\Temp\\junk.tmp", "junk");
    {
        FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
        ASSERT_TRUE(WriteWholeFile(files, "C:\\WINDOWS\\system32\\lib.009", "new library"));
        ASSERT_EQ(WriteWholeFile(files, "C:\\WINDOWS\\system32\\lib.dll", "x").status(), Status::sharing_violation);
        ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\WINDOWS\\system32\\lib.009", "C:\\WINDOWS\\system32\\lib.dll"));
        ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\Temp\\junk.tmp", ""));
        ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\Temp\\missing.tmp", "C:\\Temp\\missing.dll"));
        // Later pairs see what earlier ones did: a.txt ends up as c.txt.
        ASSERT_TRUE(WriteWholeFile(files, "C:\\Temp\\a.txt", "first"));
        ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\Temp\\a.txt", "C:\\Temp\\b.txt"));
        ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\Temp\\b.txt", "C:\\Temp\\c.txt"));
    }
    temp.Reopen();
    auto report = RestartMachine(temp.machine());
    ASSERT_TRUE(report) << report.error().Describe();
    EXPECT_EQ(report->done, 4);
    EXPECT_EQ(report->failed, 1);

    EXPECT_EQ(temp.ReadFile("C:\\WINDOWS\\system32\\lib.dll"), "new library");
    EXPECT_EQ(temp.ReadFile("C:\\Temp\\c.txt"), "first");
    for (const char* gone : {"C:\\WINDOWS\\system32\\lib.009", "C:\\Temp\\junk.tmp", "C:\\Temp\\a.txt", "C:\\Temp\\b.txt"})
        EXPECT_FALSE(std::filesystem::exists(temp.HostPath(gone))) << gone;
    EXPECT_FALSE(PendingValue(temp));

    const auto lines = temp.JournalLines("RESTART");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "RESTART family=nt pending=5");
    EXPECT_EQ(lines[1], "RESTART action=move from=\"C:\\\\WINDOWS\\\\system32\\\\lib.009\" to=\"C:\\\\WINDOWS\\\\system32\\\\lib.dll\" result=ok");
    EXPECT_EQ(lines[2], "RESTART action=delete path=\"C:\\\\Temp\\\\junk.tmp\" result=ok");
    EXPECT_NE(lines[3].find("from=\"C:\\\\Temp\\\\missing.tmp\" to=\"C:\\\\Temp\\\\missing.dll\" result=failed reason=\"not found"),
              std::string::npos)
        << lines[3];
    EXPECT_NE(lines[5].find("to=\"C:\\\\Temp\\\\c.txt\" result=ok"), std::string::npos) << lines[5];

    // The machine that starts next has nothing in use: the new library can be replaced.
    temp.Reopen();
    EXPECT_TRUE(temp.machine().config().files_in_use.empty());
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;
    EXPECT_TRUE(WriteWholeFile(files, "C:\\WINDOWS\\system32\\lib.dll", "newer"));
}

TEST(Restart, NtMovesWithoutTheReplaceMarkLeaveAnExistingTarget) {
    TempMachine temp(Config(PlatformFamily::windows_nt));
    temp.PutFile("C:\\a.new", "new");
    temp.PutFile("C:\\a.dll", "old");
    ASSERT_TRUE(temp.machine().registry().WriteValue(RootKey::local_machine, rvx::sandbox::kSessionManagerKey,
                                                     rvx::sandbox::kPendingRenamesValue,
                                                     RegValue::MultiText({"\\??\\C:\\a.new", "\\??\\C:\\a.dll"})));
    auto report = RestartMachine(temp.machine());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->failed, 1);
    EXPECT_EQ(temp.ReadFile("C:\\a.dll"), "old");
    EXPECT_EQ(temp.ReadFile("C:\\a.new"), "new");
}

TEST(Restart, NinetyFiveCarriesOutWininitLineByLineThenKeepsItAsBak) {
    TempMachine temp(Config(PlatformFamily::windows_95, {"C:\\WINDOWS\\system32\\LIB.DLL"}));
    temp.PutFile("C:\\WINDOWS\\system32\\LIB.DLL", "old library");
    temp.PutFile("C:\\WINDOWS\\system32\\LIB.NEW", "new library");
    temp.PutFile("C:\\WINDOWS\\TEMP\\junk1.tmp", "1");
    temp.PutFile("C:\\WINDOWS\\TEMP\\junk2.tmp", "2");
    temp.PutFile("C:\\App\\a.txt", "first");
    temp.PutFile("C:\\WINDOWS\\WININIT.BAK", "an older one");
    const std::string wininit =
        "[Rename]\r\n"
        "NUL=C:\\WINDOWS\\TEMP\\junk1.tmp\r\n"
        "C:\\WINDOWS\\system32\\LIB.DLL=C:\\WINDOWS\\system32\\LIB.NEW\r\n"
        "nul=C:\\WINDOWS\\TEMP\\junk2.tmp\r\n"
        "C:\\App\\b.txt=C:\\App\\a.txt\r\n"
        "C:\\App\\c.txt=C:\\App\\b.txt\r\n"
        "C:\\App\\d.txt=C:\\App\\missing.txt\r\n";
    temp.PutFile("C:\\WINDOWS\\WININIT.INI", wininit);

    auto report = RestartMachine(temp.machine());
    ASSERT_TRUE(report) << report.error().Describe();
    EXPECT_EQ(report->done, 6);  // five lines and the file itself
    EXPECT_EQ(report->failed, 1);
    EXPECT_EQ(temp.ReadFile("C:\\WINDOWS\\system32\\LIB.DLL"), "new library");
    EXPECT_EQ(temp.ReadFile("C:\\App\\c.txt"), "first");
    for (const char* gone : {"C:\\WINDOWS\\system32\\LIB.NEW", "C:\\WINDOWS\\TEMP\\junk1.tmp", "C:\\WINDOWS\\TEMP\\junk2.tmp",
                             "C:\\App\\a.txt", "C:\\App\\b.txt", "C:\\WINDOWS\\WININIT.INI"})
        EXPECT_FALSE(std::filesystem::exists(temp.HostPath(gone))) << gone;
    EXPECT_EQ(temp.ReadFile("C:\\WINDOWS\\WININIT.BAK"), wininit);

    const auto lines = temp.JournalLines("RESTART");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "RESTART family=95 pending=6");
    EXPECT_EQ(lines[1], "RESTART action=delete path=\"C:\\\\WINDOWS\\\\TEMP\\\\junk1.tmp\" result=ok");
    EXPECT_EQ(lines[2], "RESTART action=move from=\"C:\\\\WINDOWS\\\\system32\\\\LIB.NEW\" to=\"C:\\\\WINDOWS\\\\system32\\\\LIB.DLL\" result=ok");
    EXPECT_EQ(lines[3], "RESTART action=delete path=\"C:\\\\WINDOWS\\\\TEMP\\\\junk2.tmp\" result=ok");
    EXPECT_NE(lines[6].find("result=failed"), std::string::npos) << lines[6];
    EXPECT_EQ(lines[7], "RESTART action=move from=\"C:\\\\WINDOWS\\\\WININIT.INI\" to=\"C:\\\\WINDOWS\\\\WININIT.BAK\" result=ok");

    // Carried out once: a second restart finds nothing to do.
    auto again = RestartMachine(temp.machine());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->done + again->failed, 0);
    temp.Reopen();
    EXPECT_TRUE(temp.machine().config().files_in_use.empty());
}
