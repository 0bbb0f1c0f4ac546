// The uninstaller's whole run on a simulated machine: rights, finding and reading the log, the
// question, the result, the leftover dialog with its warning, and the self-deleting batch.
#include <gtest/gtest.h>

#include "common/app/exit_codes.h"
#include "platform/sandbox/sandbox_registry.h"
#include "tests/support/pageless_ui.h"
#include "tests/uninstaller/uninstaller_fixture.h"
#include "uninstaller/self_delete.h"

using namespace rvx;
using test_support::Uninstaller;

namespace {

constexpr const char* kLogPath = "C:\\Prog\\demo.nvu";
constexpr const char* kBatch = "C:\\WINDOWS\\TEMP\\_dismara.bat";

// A small installation in C:\Prog with its log.
void Install(Uninstaller& run, const std::vector<std::string>& extra = {}) {
    run.Put("C:\\Prog\\demo.exe");
    std::vector<std::string> lines = {".DC:\\Prog\\demo.nvu", ".DC:\\Prog\\demo.exe", ".DC:\\Prog\\Dismara.exe", ".RDemo",
                                      ".FC:\\Prog", ".ZC:\\Prog"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    run.Put(kLogPath, Uninstaller::LogText(lines));
}

}  // namespace

TEST(UninstallRun, RemovesReportsAndHandsItsOwnFileToTheBatch) {
    Uninstaller run(kLogPath, "page 131 6\nmessage ok ~ \"The application \\\"Demo\\\" has been removed.\"\n");
    Install(run);
    EXPECT_EQ(run.app.Run(), app::kExitCompleted);
    EXPECT_FALSE(run.Exists("C:\\Prog\\demo.exe"));
    EXPECT_FALSE(run.Exists(kLogPath));  // read whole before anything went, so it can go too
    EXPECT_TRUE(run.Exists(test_support::kUninstallerPath));  // still running
    EXPECT_EQ(run.temp.ReadFile(kBatch),
              ":Repeat\r\ndel \"C:\\Prog\\Dismara.exe\"\r\nif exist \"C:\\Prog\\Dismara.exe\" goto Repeat\r\n"
              "rmdir \"C:\\Prog\"\r\ndel \"C:\\WINDOWS\\TEMP\\_dismara.bat\"");
    const std::string opened = run.Journal("OPEN");
    EXPECT_NE(opened.find("folder=\"C:\\\\WINDOWS\\\\TEMP\\\\\" show=hidden"), std::string::npos) << opened;
    EXPECT_EQ(run.temp.JournalLines("PAGE id=129").size(), 0u);
    const std::string progress = run.Journal("PROGRESS");
    EXPECT_NE(progress.find("Removing Demo"), std::string::npos) << progress;

    // Once the program has ended, the batch deletes it, its folder and itself.
    run.temp.Reopen();
    EXPECT_FALSE(std::filesystem::exists(run.temp.HostPath(test_support::kUninstallerPath)));
    EXPECT_FALSE(std::filesystem::exists(run.temp.HostPath("C:\\Prog")));
    EXPECT_FALSE(std::filesystem::exists(run.temp.HostPath(kBatch)));
}

TEST(UninstallRun, ALimitedUserOfTheSimulatedMachineIsRefused) {
    sandbox::MachineConfig config = sandbox::MachineConfig::Default();
    config.administrator = false;
    Uninstaller run(kLogPath, "message ok ~ \"To uninstall this software you\\nneed administrator rights.\"\n", config);
    Install(run);
    EXPECT_EQ(run.app.Run(), app::kExitCouldNotStart);
    EXPECT_TRUE(run.Exists("C:\\Prog\\demo.exe"));
    EXPECT_TRUE(run.Exists(kLogPath));
    EXPECT_EQ(run.temp.responder().remaining(), 0u);
}

TEST(UninstallRun, StartFailuresChangeNothing) {
    {
        Uninstaller run(kLogPath, "message ok ~ \"administrator rights\"\n");
        static_cast<sandbox::SandboxRegistry&>(run.temp.machine().registry())
            .SetReadOnlyKeys({{platform::RootKey::local_machine, "Software"}});
        Install(run);
        EXPECT_EQ(run.app.Run(), app::kExitCouldNotStart);
        EXPECT_TRUE(run.Exists("C:\\Prog\\demo.exe"));
    }
    {
        // The path is taken as it stands: quotes and all.
        Uninstaller run(std::string("\"") + kLogPath + "\"", "message ok ~ \"Remove file cannot be found.\"\n");
        Install(run);
        EXPECT_EQ(run.app.Run(), app::kExitCouldNotStart);
        EXPECT_TRUE(run.Exists("C:\\Prog\\demo.exe"));
    }
    {
        // Without a path the current folder must hold exactly one log.
        Uninstaller run("", "message ok ~ \"Remove file cannot be found.\"\n");
        Install(run);
        run.Put("C:\\Prog\\second.nvu", ".RSecond\r\n");
        EXPECT_EQ(run.app.Run(), app::kExitCouldNotStart);
        EXPECT_TRUE(run.Exists("C:\\Prog\\demo.exe"));
        EXPECT_FALSE(run.Exists(kBatch));
    }
}

TEST(UninstallRun, FindsTheOnlyLogOfItsFolderAndNoStopsEverything) {
    Uninstaller run("", "page 131 7\n");
    Install(run, {".RLast one  "});
    run.Put("C:\\Prog\\folder.nvu\\inside.txt");  // a folder is not a log
    EXPECT_EQ(run.app.Run(), app::kExitCancelled);
    EXPECT_EQ(run.app.state().product_name, "Last one");
    const std::string page = run.Journal("PAGE");
    EXPECT_NE(page.find("uninstall \\\"Last one\\\" now ?"), std::string::npos) << page;
    EXPECT_TRUE(run.Exists("C:\\Prog\\demo.exe"));
    EXPECT_TRUE(run.Exists(kLogPath));
    EXPECT_FALSE(run.Exists(kBatch));
}

TEST(UninstallRun, ALogWithoutProductRecordIsDamagedAndNothingIsRemoved) {
    for (const char* log : {"\x01\x02\xff binary\r\n.DC:\\Prog\\demo.exe",  // a last line without its line end
                            ".DC:\\Prog\\demo.nvu\r\n.DC:\\Prog\\demo.exe\r\n.R  \r\n"}) {
        Uninstaller run(kLogPath, "message ok ~ \"The remove file C:\\\\Prog\\\\demo.nvu is damaged\"\n");
        run.Put("C:\\Prog\\demo.exe");
        run.Put(kLogPath, log);
        EXPECT_EQ(run.app.Run(), app::kExitCouldNotStart);
        EXPECT_TRUE(run.Exists(kLogPath));
        EXPECT_TRUE(run.Exists("C:\\Prog\\demo.exe"));
        EXPECT_EQ(run.temp.JournalLines("PAGE").size(), 0u);  // not even asked
        EXPECT_FALSE(run.Exists(kBatch));
    }
}

TEST(UninstallRun, LeftoversOfferedAndKeptWhenTheBoxIsNotTicked) {
    Uninstaller run(kLogPath, "page 131 6\npage 129 ok\n");
    Install(run);
    run.Put("C:\\Prog\\notes.txt");
    EXPECT_EQ(run.app.Run(), app::kExitCompleted);
    EXPECT_TRUE(run.Exists("C:\\Prog\\notes.txt"));
    const std::string page = run.Journal("PAGE id=129");
    EXPECT_NE(page.find("C:\\\\Prog\\\\notes.txt"), std::string::npos) << page;
    EXPECT_EQ(page.find("Dismara.exe"), std::string::npos) << page;
    EXPECT_NE(page.find("t1002=\"\\\"Demo\\\" has been removed from your computer. Following files in the application's "
                        "folder won't be removed automatically.\\n\\nYou can remove them now by activating the checkbox "
                        "below.\" x1001=\"0\":\"Remove these files now\""),
              std::string::npos)
        << page;
    EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), 0u);  // no success message
    EXPECT_TRUE(run.Exists(kBatch));
}

TEST(UninstallRun, TickedLeftoversGoUnlessTheWarningIsDeclined) {
    const std::vector<std::string> warning = {".C\"$HKLM,Software\\Demo,Path\", C:\\Prog", ".MYour documents are there.",
                                              "Delete them?"};
    for (const bool accept : {false, true}) {
        Uninstaller run(kLogPath, std::string("page 131 6\npage 129 ok 1001=1\nmessage ") + (accept ? "yes" : "no") +
                                      " ~ \"Your documents are there.\\nDelete them?\\n\"\n");
        ASSERT_TRUE(run.platform.registry.WriteValue(platform::RootKey::local_machine, "Software\\Demo", "Path",
                                                     platform::RegValue::Text("C:\\Prog")));
        Install(run, warning);
        run.Put("C:\\Prog\\Data\\notes.txt");
        EXPECT_EQ(run.app.Run(), app::kExitCompleted);
        EXPECT_EQ(run.Exists("C:\\Prog\\Data\\notes.txt"), !accept);
        EXPECT_EQ(run.Exists("C:\\Prog\\Data"), !accept);
        EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), 1u);  // the warning; no success message
    }
    // When the condition does not hold, the warning is not shown and the files go.
    Uninstaller run(kLogPath, "page 131 6\npage 129 ok 1001=1\n");
    Install(run, warning);
    run.Put("C:\\Prog\\Data\\notes.txt");
    EXPECT_EQ(run.app.Run(), app::kExitCompleted);
    EXPECT_FALSE(run.Exists("C:\\Prog\\Data\\notes.txt"));
}

TEST(UninstallRun, BatchTextNamesTheProgramItsFolderAndItself) {
    EXPECT_EQ(uninstaller::SelfDeleteBatchText("D:\\A B\\Dismara.exe", "C:\\T\\_dismara.bat"),
              ":Repeat\r\ndel \"D:\\A B\\Dismara.exe\"\r\nif exist \"D:\\A B\\Dismara.exe\" goto Repeat\r\n"
              "rmdir \"D:\\A B\"\r\ndel \"C:\\T\\_dismara.bat\"");
}

TEST(UninstallRun, TheBatchDoublesEveryPercentSign) {
    EXPECT_EQ(uninstaller::SelfDeleteBatchText("C:\\100% Sure\\Dismara.exe", "C:\\T%EMP%\\_dismara.bat"),
              ":Repeat\r\ndel \"C:\\100%% Sure\\Dismara.exe\"\r\nif exist \"C:\\100%% Sure\\Dismara.exe\" goto Repeat\r\n"
              "rmdir \"C:\\100%% Sure\"\r\ndel \"C:\\T%%EMP%%\\_dismara.bat\"");
}

TEST(UninstallRun, APlantedBatchIsReplacedAndABatchThatCannotBeWrittenIsSaid) {
    {
        Uninstaller run(kLogPath, "page 131 6\nmessage ok ~ \"has been removed\"\n");
        Install(run);
        run.Put(kBatch, "format c:");
        ASSERT_TRUE(run.platform.files.WriteAttributes(kBatch, platform::attributes::read_only));
        EXPECT_EQ(run.app.Run(), app::kExitCompleted);
        EXPECT_EQ(run.temp.ReadFile(kBatch).rfind(":Repeat\r\n", 0), 0u) << run.temp.ReadFile(kBatch);
    }
    // A folder where the batch should be: no batch can be written, so the program and its
    // folder are left to the next restart, and the user is told.
    Uninstaller run(kLogPath, "page 131 6\nmessage ok ~ \"has been removed\"\n"
                              "message ok ~ \"C:\\\\Prog\\\\Dismara.exe could not be removed now\"\n");
    Install(run);
    run.Put(std::string(kBatch) + "\\inside.txt");
    EXPECT_EQ(run.app.Run(), app::kExitCompleted);
    EXPECT_EQ(run.temp.JournalLines("OPEN").size(), 0u);
    run.temp.Reopen();
    const std::string pending = run.temp.ReadFile("C:\\Prog\\Dismara.exe").empty() ? "" : "kept";
    EXPECT_EQ(pending, "kept");  // until the restart
    const std::string ini = test_support::Slurp(run.temp.folder() / "machine" / "registry.reg");
    EXPECT_NE(ini.find("PendingFileRenameOperations"), std::string::npos) << ini;
}

TEST(UninstallRun, APageThatCannotBeShownEndsAsNotAvailableNeverAsCancelled) {
    {
        // Without the question nothing is removed.
        Uninstaller run(kLogPath);
        Install(run);
        test_support::PagelessUi ui(run.platform.ui, {131});
        platform::Platform pageless = test_support::WithUi(run.platform, ui);
        EXPECT_EQ(uninstaller::UninstallApp(pageless).Run(), app::kExitNotAvailableYet);
        EXPECT_TRUE(run.Exists("C:\\Prog\\demo.exe"));
        EXPECT_FALSE(run.Exists(kBatch));
    }
    {
        // Without the leftover page the product is removed all the same, the leftovers stay.
        Uninstaller run(kLogPath, "page 131 6\n");
        Install(run);
        run.Put("C:\\Prog\\notes.txt");
        test_support::PagelessUi ui(run.platform.ui, {129});
        platform::Platform pageless = test_support::WithUi(run.platform, ui);
        EXPECT_EQ(uninstaller::UninstallApp(pageless).Run(), app::kExitNotAvailableYet);
        EXPECT_FALSE(run.Exists("C:\\Prog\\demo.exe"));
        EXPECT_TRUE(run.Exists("C:\\Prog\\notes.txt"));
        EXPECT_TRUE(run.temp.JournalLines("MESSAGE").empty());
        EXPECT_TRUE(run.Exists(kBatch));
    }
}

TEST(UninstallRun, EveryStageResultThatStopsOrFailsSaysWhyInItsOwnWords) {
    using uninstaller::MessageFor;
    const auto text_of = [](int id) {
        for (const auto& entry : uninstaller::kBuiltInStrings)
            if (entry.id == id) return std::string(entry.text);
        return std::string("<missing>");
    };
    // A run that ends before the question tells the user, and never with the success code.
    for (const auto result : {uninstaller::StartResult::no_rights, uninstaller::StartResult::log_not_found,
                              uninstaller::StartResult::log_damaged}) {
        ASSERT_TRUE(MessageFor(result));
        EXPECT_NE(text_of(MessageFor(result)->text), "<missing>");
        EXPECT_EQ(uninstaller::ExitCodeFor(result), app::kExitCouldNotStart);
    }
    EXPECT_FALSE(uninstaller::ExitCodeFor(uninstaller::StartResult::ready));
    // The program left in place is named, so that the user can remove it.
    for (const auto result : {uninstaller::SelfDeleteResult::scheduled_at_restart, uninstaller::SelfDeleteResult::not_removed}) {
        ASSERT_TRUE(MessageFor(result));
        EXPECT_NE(text_of(MessageFor(result)->text).find("%1"), std::string::npos);
    }
    EXPECT_FALSE(MessageFor(uninstaller::SelfDeleteResult::batch_started));
    EXPECT_EQ(uninstaller::ExitCodeFor(uninstaller::RemovalResult::leftovers_not_shown), app::kExitNotAvailableYet);
}
