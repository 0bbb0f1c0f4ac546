// What a running program meets on the simulated machine beyond files: program manager commands
// are journaled, documents and web addresses open through the machine's associations, an opened
// batch file runs once the program has ended, and the program's own file is in use while it runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;
using platform::ShowState;
using platform::Status;
using test_support::TempMachine;

namespace {

constexpr const char* kProgram = "C:\\Program Files\\X\\Dismara.exe";

}  // namespace

TEST(SandboxProgramManager, EachCommandIsJournaled) {
    TempMachine temp;
    platform::Platform& platform = temp.Start("C:\\Setup\\Dismara.exe", "");
    ASSERT_TRUE(platform.program_manager.Execute("[DeleteGroup(Demo)]"));
    ASSERT_TRUE(platform.program_manager.Execute("[ShowGroup(\"A B\",1)]"));
    const auto lines = temp.JournalLines("PROGMAN");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "PROGMAN command=\"[DeleteGroup(Demo)]\" result=ok");
    EXPECT_EQ(lines[1], "PROGMAN command=\"[ShowGroup(\\\"A B\\\",1)]\" result=ok");
}

TEST(SandboxShell, OnlyWhatIsOnTheMachineOpensThroughItsAssociation) {
    TempMachine temp;
    temp.PutFile("C:\\Docs\\readme.txt", "read me");
    temp.PutFile("C:\\Docs\\notes.xyz", "no program opens these");
    platform::Platform& platform = temp.Start("C:\\Setup\\Rovexa.exe", "");
    platform::Shell& shell = platform.shell;

    ASSERT_TRUE(shell.OpenDocument("C:\\Docs\\readme.txt", "/p", "C:\\Docs", ShowState::maximized));
    // A name without a folder is found in the folder given.
    ASSERT_TRUE(shell.OpenDocument("README.TXT", "", "C:\\Docs", ShowState::normal));
    EXPECT_EQ(shell.OpenDocument("C:\\Docs\\missing.txt", "", "", ShowState::normal).status(), Status::not_found);
    EXPECT_EQ(shell.OpenDocument("README.TXT", "", "", ShowState::normal).status(), Status::not_found);
    EXPECT_EQ(shell.Execute(platform::ShellVerb::open, "C:\\Docs\\notes.xyz", ShowState::normal).value,
              platform::shell_code::no_association);
    // Web addresses open in the browser the machine registers for web pages.
    for (const char* address : {"http://example.invalid/", "HTTPS://example.invalid", "www.example.invalid"})
        EXPECT_TRUE(shell.Execute(platform::ShellVerb::default_verb, address, ShowState::normal).opened()) << address;
    EXPECT_EQ(shell.Execute(platform::ShellVerb::open, "mailto:a@b.invalid", ShowState::normal).value,
              platform::shell_code::file_not_found);

    const auto lines = temp.JournalLines("OPEN");
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "OPEN target=\"C:\\\\Docs\\\\readme.txt\" parameters=\"/p\" folder=\"C:\\\\Docs\" show=maximized "
                        "command=\"C:\\\\WINDOWS\\\\notepad.exe C:\\\\Docs\\\\readme.txt\" result=ok");
    EXPECT_NE(lines[1].find("command=\"C:\\\\WINDOWS\\\\notepad.exe C:\\\\Docs\\\\README.TXT\" result=ok"), std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find("result=not-found"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("result=not-found"), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find("result=no-association"), std::string::npos) << lines[4];
    EXPECT_NE(lines[5].find("command=\"\\\"C:\\\\WINDOWS\\\\browser.exe\\\" \\\"http://example.invalid/\\\"\" "
                            "result=ok"),
              std::string::npos)
        << lines[5];

    // A registered program that is not on the machine cannot open anything.
    ASSERT_TRUE(platform.files.RemoveFile("C:\\WINDOWS\\browser.exe"));
    EXPECT_EQ(shell.Execute(platform::ShellVerb::open, "http://example.invalid/", ShowState::normal).value,
              platform::shell_code::file_not_found);
    EXPECT_NE(temp.JournalLines("OPEN").back().find("result=no-program"), std::string::npos);
}

TEST(ProgramSession, TheProgramsOwnFileIsInUseUntilItEnds) {
    TempMachine temp;
    temp.PutFile(kProgram, "program");
    const std::string ini_before = test_support::Slurp(temp.folder() / "machine" / "machine.ini");
    {
        platform::Platform& platform = temp.Start(kProgram, "");
        EXPECT_EQ(platform.files.RemoveFile("c:\\program files\\x\\DISMARA.EXE").status(), Status::sharing_violation);
        EXPECT_EQ(platform::WriteWholeFile(platform.files, kProgram, "patched").status(), Status::sharing_violation);
        EXPECT_EQ(platform::ReadWholeFile(platform.files, kProgram).value_or(""), "program");
    }
    temp.Reopen();
    EXPECT_EQ(test_support::Slurp(temp.folder() / "machine" / "machine.ini"), ini_before);
    platform::Platform& next = temp.Start("C:\\Setup\\Rovexa.exe", "");
    EXPECT_TRUE(next.files.RemoveFile(kProgram));
}

TEST(ProgramSession, AnOpenedBatchFileRunsOnlyAfterTheProgramHasEnded) {
    TempMachine temp;
    temp.PutFile(kProgram, "program");
    platform::Platform& platform = temp.Start(kProgram, "");
    const std::string batch = platform.environment.TempFolder() + "_dismara.bat";
    ASSERT_TRUE(platform::WriteWholeFile(platform.files, batch,
                                         ":Repeat\r\ndel \"C:\\Program Files\\X\\Dismara.exe\"\r\n"
                                         "if exist \"C:\\Program Files\\X\\Dismara.exe\" goto Repeat\r\n"
                                         "rmdir \"C:\\Program Files\\X\"\r\ndel \"" + batch + "\""));
    ASSERT_TRUE(platform.shell.OpenDocument(batch, "", "", ShowState::hidden));
    EXPECT_TRUE(fs::exists(temp.HostPath(kProgram)));
    EXPECT_TRUE(temp.JournalLines("BATCH").empty());
    const auto opened = temp.JournalLines("OPEN");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("show=hidden result=batch-after-exit"), std::string::npos) << opened[0];

    temp.Reopen();
    EXPECT_FALSE(fs::exists(temp.HostPath(kProgram)));
    EXPECT_FALSE(fs::exists(temp.HostPath("C:\\Program Files\\X")));
    EXPECT_FALSE(fs::exists(temp.HostPath(batch)));
    // The program was gone before the batch's first deletion: no round of the loop was needed.
    const auto lines = temp.JournalLines("BATCH");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[0].find("result=ok"), std::string::npos) << lines[0];
}
