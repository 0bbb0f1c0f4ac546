// The installer's start-up: language switch, command line, answer file, trace and the
// confirm-quit question, run on a simulated machine.
#include <gtest/gtest.h>

#include "installer/core/install_app.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::InstallApp;
using test_support::TempMachine;

namespace {

struct Installer {
    explicit Installer(const std::string& command_line, const std::string& answers = "",
                       const std::string& program = "D:\\Rovexa.exe") {
        temp.PutFile("C:\\medium\\placeholder", "");
        platform = &temp.Start(program, command_line, answers, installer::kBuiltInStrings);
        app = std::make_unique<InstallApp>(*platform);
    }
    TempMachine temp;
    platform::Platform* platform = nullptr;
    std::unique_ptr<InstallApp> app;
};

std::string Messages(const TempMachine& temp) {
    std::string all;
    for (const auto& line : temp.JournalLines("MESSAGE")) all += line + "\n";
    return all;
}

}  // namespace

TEST(StartUp, LanguageSwitchesAreExactAndTheLastOneWins) {
    {
        Installer run("/E /D", "", "C:\\Setup\\Rovexa.exe");
        run.temp.PutFile("C:\\Setup\\rovexdeu.dll", "MZ");
        ASSERT_TRUE(run.app->InitInstance());
        EXPECT_EQ(run.app->language(), 'D');
        auto loads = run.temp.JournalLines("LIBRARY");
        ASSERT_EQ(loads.size(), 1u);
        EXPECT_NE(loads[0].find("C:\\\\Setup\\\\rovexdeu.dll"), std::string::npos) << loads[0];
    }
    {
        Installer run("/e /DEBUGX");
        ASSERT_TRUE(run.app->InitInstance());
        EXPECT_EQ(run.app->language(), 'F');
        EXPECT_TRUE(run.temp.JournalLines("LIBRARY").empty());
    }
    {
        // Only from the installer's own folder: a library elsewhere is never looked for.
        Installer run("/E", "", "C:\\Downloads\\Rovexa.exe");
        run.temp.PutFile("C:\\WINDOWS\\system32\\rovexeng.dll", "MZ");
        ASSERT_TRUE(run.app->InitInstance());
        auto loads = run.temp.JournalLines("LIBRARY");
        ASSERT_EQ(loads.size(), 1u);
        EXPECT_NE(loads[0].find("C:\\\\Downloads\\\\rovexeng.dll\" result=missing"), std::string::npos) << loads[0];
        // The built-in texts stay in use.
        EXPECT_EQ(run.app->Text(installer::kAppTitle), "Norvane Installation");
    }
}

TEST(StartUp, SourceFolderAndItsLayout) {
    {
        Installer run("", "", "d:\\setup\\rovexa.exe");
        ASSERT_TRUE(run.app->ProcessCommandLine());
        EXPECT_EQ(run.app->folders().source, "D:\\SETUP\\");
        EXPECT_EQ(run.app->folders().source_drive, "D");
        EXPECT_FALSE(run.app->layout().removable);
    }
    {
        Installer run("", "", "C:\\cd\\_DISK_1\\Rovexa.exe");
        ASSERT_TRUE(run.app->ProcessCommandLine());
        EXPECT_TRUE(run.app->layout().hard_disk_layout);
        EXPECT_TRUE(run.app->layout().removable);
        EXPECT_FALSE(run.app->layout().disk_folder_layout);
    }
    {
        Installer run("", "", "a:\\Rovexa.exe");
        ASSERT_TRUE(run.app->ProcessCommandLine());
        EXPECT_TRUE(run.app->layout().removable);
    }
    {
        Installer run("", "", "C:\\image\\DISK1\\Rovexa.exe");
        ASSERT_TRUE(run.app->ProcessCommandLine());
        EXPECT_TRUE(run.app->layout().disk_folder_layout);
        EXPECT_TRUE(run.app->layout().removable);
    }
}

TEST(StartUp, ProgramFilesFolderComesFromTheRegistryOrTheWindowsDrive) {
    Installer run("");
    ASSERT_TRUE(run.app->ProcessCommandLine());
    EXPECT_EQ(run.app->folders().program_files, "C:\\Program Files");
    EXPECT_EQ(run.app->folders().windows_drive, "C:");

    ASSERT_TRUE(run.platform->registry.WriteValue(platform::RootKey::local_machine, "Software\\Microsoft\\Windows\\CurrentVersion",
                                                  "ProgramFilesDir", platform::RegValue::Text("E:\\Apps")));
    ASSERT_TRUE(run.app->ProcessCommandLine());
    EXPECT_EQ(run.app->folders().program_files, "E:\\Apps");

    ASSERT_TRUE(run.platform->registry.DeleteValue(platform::RootKey::local_machine, "Software\\Microsoft\\Windows\\CurrentVersion",
                                                   "ProgramFilesDir"));
    ASSERT_TRUE(run.app->ProcessCommandLine());
    EXPECT_EQ(run.app->folders().program_files, "C:\\Program Files");
    ASSERT_TRUE(run.platform->files.RemoveFolder("C:\\Program Files\\Common Files"));
    ASSERT_TRUE(run.platform->files.RemoveFolder("C:\\Program Files"));
    ASSERT_TRUE(run.app->ProcessCommandLine());
    EXPECT_EQ(run.app->folders().program_files, "C:");
}

TEST(AnswerFile, ReadsEveryKeywordIgnoringItsCase) {
    Installer run("/E \"C:\\My Answers\\setup.ANS\"");
    run.temp.PutFile("C:\\My Answers\\setup.ANS",
                     "INSTALLMODE=2\r\nDesktopIcon = 1\r\ndstpath=\"C:\\Program Files\\Demo App\"\r\n"
                     "examplepath=C:\\Samples\r\nname = Jane Doe\r\ncompany=ACME\r\n"
                     "dstpath=C:\\a=b\r\n"  // two unquoted "=": ignored
                     "no equals sign here\r\n");
    ASSERT_TRUE(run.app->ProcessCommandLine());
    const auto& answers = run.app->answers();
    EXPECT_TRUE(answers.unattended);
    EXPECT_EQ(answers.install_mode, 2);
    EXPECT_EQ(answers.desktop_shortcut_answer, 1);
    EXPECT_EQ(answers.folder, "C:\\Program Files\\Demo App");
    EXPECT_EQ(answers.documents_folder, "C:\\Samples");
    EXPECT_EQ(answers.name, "Jane Doe");
    EXPECT_EQ(answers.company, "ACME");
    EXPECT_TRUE(Messages(run.temp).empty());
}

TEST(AnswerFile, OnlyAnUpperCaseSuffixNamesOne) {
    Installer run("C:\\setup.ans");
    run.temp.PutFile("C:\\setup.ans", "bogus=1\n");
    ASSERT_TRUE(run.app->ProcessCommandLine());
    EXPECT_FALSE(run.app->answers().unattended);
}

TEST(AnswerFile, LongValuesAreReadWhole) {
    const std::string folder = "C:\\" + std::string(300, 'x');
    Installer run("C:\\long.ANS");
    run.temp.PutFile("C:\\long.ANS", "dstpath=" + folder + "\nname=after\n");
    ASSERT_TRUE(run.app->ProcessCommandLine());
    EXPECT_EQ(run.app->answers().folder, folder);
    EXPECT_EQ(run.app->answers().name, "after");
}

TEST(AnswerFile, MissingFileOrUnknownKeywordStopsTheRun) {
    {
        Installer run("D:\\missing.ANS", "message ok ~ \"Can't open answerfile\\nD:\\\\missing.ANS\"\n");
        EXPECT_FALSE(run.app->ProcessCommandLine());
        EXPECT_FALSE(run.app->answers().unattended);
        EXPECT_NE(Messages(run.temp).find("caption=\"Norvane Installation\""), std::string::npos);
        EXPECT_NE(Messages(run.temp).find("icon=warning"), std::string::npos);
    }
    {
        Installer run("C:\\bad.ANS", "message ok ~ \"Unknown ans keyword: colour\"\n");
        run.temp.PutFile("C:\\bad.ANS", "name=x\nCOLOUR=red\ncompany=never read\n");
        EXPECT_FALSE(run.app->ProcessCommandLine());
        EXPECT_FALSE(run.app->answers().unattended);
        EXPECT_EQ(run.app->answers().name, "x");
        EXPECT_EQ(run.app->answers().company, "");
    }
}

TEST(Trace, DebugSwitchInAnyCaseWritesTheTraceFile) {
    Installer run("/debug", "message ok ~ \"Debug messages are written\\nto c:\\\\install.log\"\n", "C:\\x\\_DISK_1\\Rovexa.exe");
    ASSERT_TRUE(run.app->ProcessCommandLine());
    EXPECT_TRUE(run.app->trace().enabled());
    run.app->TraceText("Source Path = \"X\"\n");
    EXPECT_EQ(run.temp.ReadFile("C:\\install.log"), "Debug sur disque dur\nSource Path = \"X\"\n");
    auto messages = run.temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("caption=\"/DEBUG\""), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("icon=none"), std::string::npos) << messages[0];
}

TEST(Trace, DoubledBackslashesCollapseInTheCaption) {
    Installer run("/DEBUG C:\\\\\\x", "message ok\n");
    ASSERT_TRUE(run.app->ProcessCommandLine());
    auto messages = run.temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("caption=\"/DEBUG C:\\\\X\""), std::string::npos) << messages[0];
}

TEST(ConfirmQuit, OnlyKindTwoAsksAndOnlyYesQuits) {
    using rvx::installer::QuitQuestion;
    Installer run("", "message yes ~ \"Do you want to quit now ?\"\nmessage no\n");
    static_assert(static_cast<int>(QuitQuestion::not_finished) == 2);
    EXPECT_FALSE(run.app->ConfirmQuit(QuitQuestion::none));
    EXPECT_FALSE(run.app->ConfirmQuit(static_cast<QuitQuestion>(1)));
    EXPECT_TRUE(run.app->ConfirmQuit(QuitQuestion::not_finished));
    EXPECT_FALSE(run.app->ConfirmQuit(QuitQuestion::not_finished));
    auto messages = run.temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("buttons=yes_no icon=question default=2"), std::string::npos) << messages[0];
}
