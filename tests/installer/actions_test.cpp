// The external actions at the ends of an installation, on a simulated machine: the DirectX step
// with every answer its library can give, the restart page and the restart itself, the start
// question, stopping programs through their windows, and the final commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/actions/directx_setup.h"
#include "installer/actions/final_commands.h"
#include "installer/actions/restart.h"
#include "installer/actions/start_question.h"
#include "installer/actions/stop_programs.h"
#include "tests/installer/file_engine_fixture.h"

using namespace rvx;
using test_support::FileStages;

namespace {

// The start question as the run sequence asks it, from the run's own state.
bool AskStartQuestion(FileStages& run) {
    return installer::AskStartQuestion(run.app.platform().ui, run.app.platform().resources, run.app.script(), run.app.answers());
}

constexpr const char* kDirectXLibrary = "C:\\MEDIUM\\REDIST\\dsetup.dll";

sandbox::MachineConfig WithDirectX(uint32_t version, uint32_t revision, int32_t result, bool loads = true) {
    auto config = sandbox::MachineConfig::Default();
    config.directx = {loads, version, revision, result};
    return config;
}

// An installation whose script asks for DirectX 0x00040009, revision 0x384, from REDIST.
void RequireDirectX(FileStages& run, std::vector<std::string> lines = {"0x00040009", "384", "REDIST"}) {
    run.Put(kDirectXLibrary, "library");
    run.app.script().directx = std::move(lines);
}

// How often the set-up was run.
size_t SetupRuns(FileStages& run) { return run.temp.JournalLines("DIRECTX action=setup").size(); }

}  // namespace

TEST(DirectX, EachNegativeResultShowsItsTextWithTheWarningIconOrNothingForABlankText) {
    const std::vector<std::pair<int32_t, std::string>> results = {
        {-1, "DirectX does not support the Windows version on the system."},
        {-2, "One of the required source files could not be found. "},
        {-3, "A file's size could not be verified or was incorrect. "},
        {-4, "A file's version could not be verified or was incorrect. "},
        {-5, "A file's version could not be verified or was incorrect. "},
        {-6, "The setup program ran out of disk space during installation. \n"},
        {-7, "A required .inf file could not be found. "},
        {-8, "The setup program could not find the working directory. "},
        {-9, "An internal error occurred. "},
        {-10, ""},
        {-11, "The operating system on your system is not currently supported."},
        {-12, ""},
        {-13, ""},
        {-14, ""},
        {-15, ""},  // beyond the table: no text, nothing shown
    };
    for (const auto& [result, text] : results) {
        SCOPED_TRACE(result);
        // A message the step should not show finds no answer and stops the test.
        FileStages run(text.empty() ? "" : "message ok\n", WithDirectX(0x00040007, 0, result));
        RequireDirectX(run);
        installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
        EXPECT_EQ(SetupRuns(run), 1u);
        const auto messages = run.temp.JournalLines("MESSAGE");
        ASSERT_EQ(messages.size(), text.empty() ? 1u : 2u);  // the trace notice comes first
        if (!text.empty()) {
            EXPECT_NE(messages[1].find(sandbox::Field("text", text)), std::string::npos) << messages[1];
            EXPECT_NE(messages[1].find("icon=warning"), std::string::npos);
        }
        EXPECT_FALSE(run.app.flags().restart);
    }
}

TEST(DirectX, ResultOneAsksForARestartAndZeroIsSilent) {
    {
        FileStages run("", WithDirectX(0, 0, 1));
        RequireDirectX(run);
        installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
        EXPECT_TRUE(run.app.flags().restart);
        EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), 1u);
    }
    FileStages run("", WithDirectX(0, 0, 0));
    RequireDirectX(run);
    installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
    EXPECT_FALSE(run.app.flags().restart);
    EXPECT_EQ(SetupRuns(run), 1u);
}

TEST(DirectX, RunsFromTheRedistributableFolderWithTheSetupFlagsAndUnloadsTheLibrary) {
    FileStages run("", WithDirectX(0, 0, 0));
    RequireDirectX(run);
    installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
    const auto lines = run.temp.JournalLines("DIRECTX");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("action=load path=\"C:\\\\MEDIUM\\\\REDIST\\\\dsetup.dll\" result=ok"), std::string::npos);
    EXPECT_NE(lines[2].find("folder=\"C:\\\\MEDIUM\\\\REDIST\" flags=0x02010018"), std::string::npos);
    EXPECT_NE(lines[3].find("action=unload"), std::string::npos);
}

TEST(DirectX, ComparesVersionThenRevisionUnsigned) {
    struct Case {
        uint32_t version, revision;
        std::vector<std::string> required;
        bool installs;
    };
    const std::vector<Case> cases = {
        {0x00040009, 0x384, {"0x00040009", "384", "REDIST"}, false},  // equal: nothing to do
        {0x00040009, 0x383, {"40009", "0x384", "REDIST"}, true},      // same version, higher revision required
        {0x00040009, 0x385, {"40009", "384", "REDIST"}, false},
        {0x00040008, 0xFFFFFFFF, {"40009", "0", "REDIST"}, true},     // an older version, whatever its revision
        {0x80000000, 0, {"7FFFFFFF", "0", "REDIST"}, false},          // above 2^31: still newer
        {0x7FFFFFFF, 0, {"0x80000000", "0", "REDIST"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.required[0] + " " + c.required[1]);
        FileStages run("", WithDirectX(c.version, c.revision, 0));
        RequireDirectX(run, c.required);
        installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
        EXPECT_EQ(SetupRuns(run), c.installs ? 1u : 0u);
    }
}

TEST(DirectX, TheScriptsQuestionComesFirstAndOnlyYesInstalls) {
    for (const char* answer : {"yes", "no"}) {
        FileStages run(std::string("message ") + answer + " ~ \"Install DirectX?\"\n", WithDirectX(0x00040009, 0x383, 0));
        RequireDirectX(run);
        run.app.script().directx_question = "Install DirectX?\n";
        installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
        const auto messages = run.temp.JournalLines("MESSAGE");
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_NE(messages[1].find("buttons=yes_no icon=question default=2"), std::string::npos);
        EXPECT_EQ(SetupRuns(run), std::string(answer) == "yes" ? 1u : 0u);
    }
}

TEST(DirectX, ALibraryThatIsMissingOrCannotLoadIsReportedOnceAndTheStepEnds) {
    {
        FileStages run("message ok ~ \"FATAL ERROR: destup.dll not found\"\n", WithDirectX(0, 0, 1));
        run.app.script().directx = {"40009", "0", "ELSEWHERE"};
        run.Put(kDirectXLibrary, "library");
        installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
        EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), 2u);
        EXPECT_NE(run.Journal("DIRECTX").find("result=missing"), std::string::npos);
        EXPECT_FALSE(run.app.flags().restart);
    }
    FileStages run("message ok ~ \"FATAL ERROR: destup.dll not found\"\n", WithDirectX(0, 0, 1, false));
    RequireDirectX(run);
    installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
    EXPECT_EQ(SetupRuns(run), 0u);
    EXPECT_FALSE(run.app.flags().restart);
}

TEST(DirectX, NoSectionNoLibrary) {
    FileStages run("", WithDirectX(0, 0, 1));
    installer::InstallDirectXIfNeeded(run.app.platform(), run.app.script(), run.app.folders(), run.app.flags());
    EXPECT_TRUE(run.temp.JournalLines("DIRECTX").empty());
}

TEST(Restart, ThePageOffersNowOrLaterAndLaterRemindsTheUser) {
    {
        FileStages run("page 124 1\n");
        EXPECT_TRUE(installer::OfferRestart(run.app));
        const auto pages = run.temp.JournalLines("PAGE");
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_NE(pages[0].find("caption=\"Norvane Installation\" "
                                "t100=\"In order to finish the installation your computer must be restarted.\" "
                                "b1=\"Restart the computer now\" b2=\"Restart the computer later\""),
                  std::string::npos)
            << pages[0];
        EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), 1u);
    }
    FileStages run("page 124 cancel\nmessage ok ~ \"You must reboot your computer later\"\n");
    EXPECT_FALSE(installer::OfferRestart(run.app));
    const auto messages = run.temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("icon=information"), std::string::npos);
}

TEST(Restart, AnUnattendedInstallationRestartsWhicheverButtonWasPressed) {
    FileStages run("page 124 2\n");
    run.app.answers().unattended = true;
    EXPECT_TRUE(installer::OfferRestart(run.app));
    EXPECT_EQ(run.temp.responder().remaining(), 0u);
}

TEST(Restart, TheSimulatedRestartCarriesOutAReplacementLeftForTheNextStart) {
    FileStages run;
    run.Put("C:\\Prog\\lib.dll", "old");
    run.Put("C:\\Prog\\lib.new", "new");
    ASSERT_TRUE(run.app.platform().files.ScheduleMoveAtRestart("C:\\Prog\\lib.new", "C:\\Prog\\lib.dll"));
    EXPECT_TRUE(installer::RestartComputer(run.app.platform().power, run.app.trace()));
    EXPECT_EQ(run.Read("C:\\Prog\\lib.dll"), "new");
    EXPECT_FALSE(run.Exists("C:\\Prog\\lib.new"));
    EXPECT_EQ(run.temp.JournalLines("POWER").size(), 1u);
    EXPECT_NE(run.Journal("RESTART").find("action=move"), std::string::npos);
}

TEST(StartQuestion, AskedWithTheVersionFilledInAndNoEndsTheInstallation) {
    FileStages run("message no ~ \"Install Demo 2.1?\\nIt takes a minute.\\n\"\n");
    run.app.script().version = "2.1";
    run.app.script().init_text = {"Install Demo %VERSION?", "It takes a minute."};
    EXPECT_FALSE(AskStartQuestion(run));
    const auto messages = run.temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("buttons=yes_no icon=information"), std::string::npos);
}

TEST(StartQuestion, NotAskedWhenUnattendedOrEmpty) {
    FileStages run;
    EXPECT_TRUE(AskStartQuestion(run));
    run.app.script().init_text = {"Install?"};
    run.app.answers().unattended = true;
    EXPECT_TRUE(AskStartQuestion(run));
    EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), 1u);
}

TEST(StopPrograms, HexadecimalAndDecimalCommandsReachTheNamedWindowOnly) {
    auto config = sandbox::MachineConfig::Default();
    config.windows = {{"NorvaneMain", "Norvane Viewer"}, {"Other", "Norvane Editor"}};
    FileStages run("", config);
    run.app.script().stop_programs = {
        "NorvaneMain, Norvane Viewer, 0x111",
        ", Norvane Editor, 273",           // any class
        "Other, Norvane Viewer, 0X10",     // no window of that class and title
        "NorvaneMain, Norvane Viewer",     // two fields
        "NorvaneMain, Norvane Viewer, 1, 2",
    };
    installer::StopPrograms(run.app.platform().processes, run.app.script());
    EXPECT_EQ(run.Journal("WINDOW"),
              "WINDOW class=\"NorvaneMain\" title=\"Norvane Viewer\" command=273\n"
              "WINDOW class=\"Other\" title=\"Norvane Editor\" command=273\n");
}

TEST(StopPrograms, CommandNumbers) {
    EXPECT_EQ(installer::ParseStopProgramLine("a,b,0x111")->command, 273u);
    EXPECT_EQ(installer::ParseStopProgramLine("a,b,0X1f")->command, 31u);
    EXPECT_EQ(installer::ParseStopProgramLine("a,b, 273 ")->command, 273u);
    EXPECT_EQ(installer::ParseStopProgramLine("a,b,x1")->command, 0u);
    EXPECT_EQ(installer::ParseStopProgramLine("a,\"b, c\",1")->window_title, "b, c");
    EXPECT_EQ(installer::ParseStopProgramLine("a,b,0x")->command, 0u);
    EXPECT_TRUE(installer::ParseStopProgramLine("a,b,1,"));  // a last comma gives no fourth field
    EXPECT_FALSE(installer::ParseStopProgramLine("a,b,1,2"));
    EXPECT_FALSE(installer::ParseStopProgramLine("a,b"));
}

TEST(FinalCommands, StartWithOrWithoutWaitingAndKeepTheWorkingFolderForLaterLines) {
    FileStages run;
    run.Put("C:\\Prog\\tool.exe", "program");
    run.Put("C:\\Prog\\bin\\setup.exe", "program");
    run.Put("C:\\Prog\\bin\\after.exe", "program");
    const std::string start_folder = run.app.platform().files.CurrentFolder();
    run.app.script().final_commands = {
        "%DSTPATH%\\tool.exe",
        "%DSTPATH%\\tool.exe,,x",
        "%DSTPATH%\\tool.exe,,w",
        "setup.exe, %DSTPATH%\\bin, Wait",
        "after",  // found in the working folder the line before made current
    };
    ASSERT_FALSE(installer::RunFinalCommands(run.app, run.app.flags(), run.app.platform()).stopped());
    const auto starts = run.temp.JournalLines("START");
    ASSERT_EQ(starts.size(), 5u);
    const std::string first_folder = sandbox::Field("folder", start_folder);
    EXPECT_NE(starts[0].find("program=\"C:\\\\Prog\\\\tool.exe\" command=\"C:\\\\Prog\\\\tool.exe\" " + first_folder +
                             " show=normal wait=no result=ok"),
              std::string::npos)
        << starts[0];
    EXPECT_NE(starts[1].find("wait=no"), std::string::npos);
    EXPECT_NE(starts[2].find(first_folder + " show=normal wait=yes"), std::string::npos);
    EXPECT_NE(starts[3].find("program=\"C:\\\\Prog\\\\bin\\\\setup.exe\" command=\"setup.exe\" folder=\"C:\\\\Prog\\\\bin\" "
                             "show=normal wait=yes result=ok"),
              std::string::npos)
        << starts[3];
    EXPECT_NE(starts[4].find("program=\"C:\\\\Prog\\\\bin\\\\after.exe\" command=\"after\" folder=\"C:\\\\Prog\\\\bin\""),
              std::string::npos)
        << starts[4];
}

TEST(FinalCommands, ArgumentsAreQuotedAndTheProgramGetsTheVersion) {
    FileStages run;
    run.Put("C:\\Prog\\view 2.1.exe", "program");
    run.app.script().version = "2.1";
    run.app.script().final_commands = {"%DSTPATH%\\view %VERSION.exe,,,%DSTPATH%\\read me.txt", "%DSTPATH%\\view 2.1.exe,,,\"\""};
    ASSERT_FALSE(installer::RunFinalCommands(run.app, run.app.flags(), run.app.platform()).stopped());
    const auto starts = run.temp.JournalLines("START");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_NE(starts[0].find("command=\"\\\"C:\\\\Prog\\\\view 2.1.exe\\\" \\\"C:\\\\Prog\\\\read me.txt\\\"\""),
              std::string::npos)
        << starts[0];
    EXPECT_NE(starts[0].find("result=ok"), std::string::npos);
    // An empty arguments field adds no empty argument.
    EXPECT_NE(starts[1].find("command=\"C:\\\\Prog\\\\view 2.1.exe\""), std::string::npos) << starts[1];
}

TEST(FinalCommands, AProgramMissingOnTheMachineIsPassedOverSilently) {
    FileStages run;
    run.Put("C:\\Prog\\tool.exe", "program");
    run.app.script().final_commands = {"%DSTPATH%\\gone.exe,,w", "%DSTPATH%\\tool.exe"};
    ASSERT_FALSE(installer::RunFinalCommands(run.app, run.app.flags(), run.app.platform()).stopped());
    const auto starts = run.temp.JournalLines("START");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_NE(starts[0].find("result=not-found"), std::string::npos);
    EXPECT_NE(starts[1].find("result=ok"), std::string::npos);
    EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), 1u);
    platform::Processes& processes = run.app.platform().processes;
    EXPECT_FALSE(installer::StartAndWait(processes, "C:\\Prog\\gone.exe", platform::ShowState::normal));
    EXPECT_TRUE(installer::StartAndWait(processes, "C:\\Prog\\tool.exe", platform::ShowState::normal));
}

TEST(FinalCommands, WithARestartDueTheRegistryLinesAreWrittenInsteadOfStartingAnything) {
    FileStages run;
    run.Put("C:\\Prog\\tool.exe", "program");
    run.app.flags().restart = true;
    run.app.script().final_commands = {"%DSTPATH%\\tool.exe"};
    run.app.script().registry_restart = {"HKLM,Software\\Norvane\\Demo,Finish,,%DSTPATH%\\tool.exe /finish"};
    ASSERT_FALSE(installer::RunFinalCommands(run.app, run.app.flags(), run.app.platform()).stopped());
    EXPECT_TRUE(run.temp.JournalLines("START").empty());
    auto value = run.app.platform().registry.ReadValue(platform::RootKey::local_machine, "Software\\Norvane\\Demo", "Finish");
    ASSERT_TRUE(value);
    EXPECT_STREQ(std::string(value->data.begin(), value->data.end()).c_str(), "C:\\Prog\\tool.exe /finish");
}
