// The whole run on a simulated machine: the page sequence, the wizard with Next, Back and
// Cancel, the installation after it, and the way back to the wizard after a failed copy.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "common/app/exit_codes.h"
#include "installer/core/install_app.h"
#include "installer/core/page_sequence.h"
#include "installer_pages.h"
#include "installer_strings.h"
#include "platform/dialog_description.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::PageSequence;
using test_support::TempMachine;

namespace {

const char* const kScript =
    "[TITLE]\nDemo\n[PRODUCTNAME]\nDemo\n[SIZE]\n100\n[DISKID]\nDisk %s\n[VERSION]\n1.0.0\n[DEFAULTDIR]\nC:\\Prog\n"
    "[UNINSTALLFILE]\ndemo.nvu\n[STRINGS]\nTALMREG=Software\\Norvane\\Demo\n[LICENSETEXT]\nFree to use.\n[INSTALLDIRTEXT]\nWhere?\n"
    "[FILES]\na.txt\n[EOF]\nend\n";

struct Installation {
    explicit Installation(const std::string& answers, const sandbox::MachineConfig& config = sandbox::MachineConfig::Default(),
                          const std::string& extra_sections = "")
        : temp(config) {
        temp.PutFile("C:\\MEDIUM\\Install.ini", extra_sections + kScript);
        temp.PutFile("C:\\MEDIUM\\a.txt", "payload");
        app = std::make_unique<installer::InstallApp>(temp.Start("C:\\MEDIUM\\Rovexa.exe", "", answers, installer::kBuiltInStrings));
    }
    int Go() { return app->InitInstance() ? app->Run() : -1; }
    std::string Pages() {
        std::string lines;
        for (const auto& line : temp.JournalLines("PAGE")) lines += line + "\n";
        return lines;
    }

    TempMachine temp;
    std::unique_ptr<installer::InstallApp> app;
};

}  // namespace

TEST(PageSequence, SkippedSlotsArePassedOverBothWays) {
    using installer::PageCode;
    using installer::PageSlot;
    PageSequence sequence;
    sequence.Set(PageSlot::licence, PageCode::licence);
    sequence.Set(PageSlot::folder, PageCode::folder);
    sequence.Set(PageSlot::end, PageCode::end);
    EXPECT_EQ(sequence.Current(), PageCode::licence);
    EXPECT_EQ(sequence.index(), 3);
    sequence.Back();  // before the first page there is nothing
    EXPECT_EQ(sequence.Current(), PageCode::licence);
    sequence.Next();
    EXPECT_EQ(sequence.Current(), PageCode::folder);
    sequence.Next();
    EXPECT_TRUE(sequence.Done());
    sequence.Next();  // the end stays the end
    EXPECT_TRUE(sequence.Done());
    sequence.Back();
    EXPECT_EQ(sequence.Current(), PageCode::folder);
    sequence.Back();
    EXPECT_EQ(sequence.Current(), PageCode::licence);
}

TEST(RunSequence, TheWizardWithBackThenTheInstallation) {
    Installation run("page 127 134\n"
            "page 109 next 101=Jane\n"
            "page 104 back\n"
            "page 109 next 102=ACME\n"
            "page 104 next 101=\"C:\\\\Elsewhere\"\n"
            "page 128 ok\n"
            "page 129 ok\n");
    EXPECT_EQ(run.Go(), app::kExitCompleted);
    EXPECT_EQ(run.temp.ReadFile("C:\\Elsewhere\\a.txt"), "payload");
    EXPECT_EQ(run.app->user().name, "Jane");  // kept when the page was shown again after Back
    EXPECT_EQ(run.app->user().company, "ACME");
    const std::string pages = run.Pages();
    // The first page shown has its Back button disabled; the later ones do not.
    EXPECT_NE(pages.find("id=127 caption=\"Demo\""), std::string::npos) << pages;
    EXPECT_NE(pages.substr(0, pages.find('\n')).find("b117!"), std::string::npos) << pages;
    EXPECT_EQ(pages.substr(pages.find("id=109")).substr(0, pages.find('\n')).find("b117!"), std::string::npos) << pages;
}

namespace {

// The letter the journal gives a control of each page-model kind.
char JournalLetter(platform::ControlKind kind) {
    switch (kind) {
    case platform::ControlKind::text: return 't';
    case platform::ControlKind::edit: return 'e';
    case platform::ControlKind::multiline_text: return 'm';
    case platform::ControlKind::check_box: return 'x';
    case platform::ControlKind::radio: return 'r';
    case platform::ControlKind::button: return 'b';
    }
    return '?';
}

// Every control a shown page carried is a control of that dialog's description, of the kind
// the description gives it: the page the user saw is the one the Windows template draws.
void ExpectPagesAsDescribed(const std::string& pages) {
    const std::regex page_line(R"(id=(\d+) )");
    const std::regex control_field(R"( ([temxrb])(\d+)!?=)");
    std::istringstream lines(pages);
    std::string line;
    int checked = 0;
    while (std::getline(lines, line)) {
        std::smatch page;
        ASSERT_TRUE(std::regex_search(line, page, page_line)) << line;
        const platform::DialogDescription* description = nullptr;
        for (const auto* dialog : installer::dialogs::kAllDialogs)
            if (dialog->id == std::stoi(page[1])) description = dialog;
        ASSERT_NE(description, nullptr) << "no description for " << line;
        const std::string shown = line.substr(0, line.find(" -> "));
        for (std::sregex_iterator field(shown.begin(), shown.end(), control_field), end; field != end; ++field) {
            const auto* control = description->Find(std::stoi((*field)[2]));
            ASSERT_NE(control, nullptr) << "page " << description->id << " shows control " << (*field)[2] << " it does not have";
            const auto kind = platform::ModelKind(control->kind);
            ASSERT_TRUE(kind.has_value()) << line;
            EXPECT_EQ(JournalLetter(*kind), (*field)[1].str()[0]) << "control " << control->id << " of page " << description->id;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0) << pages;
}

}  // namespace

TEST(RunSequence, EveryPageShownIsItsDescription) {
    Installation run("page 127 134\n"
                     "page 109 next 101=Jane\n"
                     "page 104 back\n"
                     "page 109 next\n"
                     "page 104 next\n"
                     "page 128 ok\n"
                     "page 129 ok\n");
    EXPECT_EQ(run.Go(), app::kExitCompleted);
    ExpectPagesAsDescribed(run.Pages());
}

TEST(RunSequence, CancelConfirmedOnAPageEndsTheRun) {
    Installation run("page 127 cancel\nmessage no ~ \"quit now\"\npage 127 cancel\nmessage yes ~ \"quit now\"\n");
    EXPECT_EQ(run.Go(), app::kExitCancelled);
    EXPECT_FALSE(platform::Exists(run.app->platform().files, "C:\\Prog\\a.txt"));
    EXPECT_NE(run.temp.JournalLines("BACKGROUND").back().find("destroy"), std::string::npos);
}

TEST(RunSequence, AFailedCopyAnsweredYesGoesBackToTheWizardAndCopiesAgain) {
    auto config = sandbox::MachineConfig::Default();
    config.files_in_use.push_back("C:\\Prog\\a.txt");
    Installation run("page 127 134\npage 109 next\npage 104 next\nmessage yes ~ \"already exists\"\n"
            "message ok ~ \"cannot be created\"\nmessage ok ~ \"Reason\"\nmessage yes ~ \"try again\"\n"
            "page 104 next 101=\"C:\\\\Other\"\npage 128 ok\npage 129 ok\n",
            config);
    run.temp.PutFile("C:\\Prog\\a.txt", "busy");
    EXPECT_EQ(run.Go(), app::kExitCompleted);
    EXPECT_EQ(run.temp.ReadFile("C:\\Prog\\a.txt"), "busy");
    EXPECT_EQ(run.temp.ReadFile("C:\\Other\\a.txt"), "payload");
}

TEST(RunSequence, AFailedCopyAnsweredNoEndsWithTheFailureCode) {
    auto config = sandbox::MachineConfig::Default();
    config.files_in_use.push_back("C:\\Prog\\a.txt");
    Installation run("page 127 134\npage 109 next\npage 104 next\nmessage yes ~ \"already exists\"\n"
                     "message ok ~ \"cannot be created\"\nmessage ok ~ \"Reason\"\nmessage no ~ \"try again\"\n",
                     config);
    run.temp.PutFile("C:\\Prog\\a.txt", "busy");
    EXPECT_EQ(run.Go(), app::kExitFailed);
    // The log left by a failed installation removes what it did: it names the product, the file
    // it was about to write and its temporary copy, and the folders.
    EXPECT_EQ(run.temp.ReadFile("C:\\Prog\\demo.nvu"), ".DC:\\Prog\\demo.nvu\r\n.RDemo\r\n.DC:\\WINDOWS\\TEMP\\tmp1\r\n"
                                                     ".DC:\\Prog\\a.txt\r\n.FC:\\Prog\r\n.ZC:\\Prog\r\n");
}

TEST(RunSequence, ARestartDueIsOfferedAndTheChosenProgramStartsOtherwise) {
    const std::string sections = "[RESTART]\n[AUTOLAUNCH]\nStart the viewer\n%DSTPATH%\\a.txt\n";
    {
        Installation run("page 127 134\npage 109 next\npage 104 next\npage 128 ok 1010=1\npage 129 ok\npage 124 1\n",
                         sandbox::MachineConfig::Default(), sections);
        EXPECT_EQ(run.Go(), app::kExitCompleted);
        EXPECT_EQ(run.temp.JournalLines("POWER").size(), 1u);  // restarted: nothing else is started
        EXPECT_TRUE(run.temp.JournalLines("START").empty());
    }
    Installation run("page 127 134\npage 109 next\npage 104 next\npage 128 ok 1010=1\npage 129 ok\npage 124 2\n"
                     "message ok ~ \"reboot your computer later\"\n",
                     sandbox::MachineConfig::Default(), sections);
    EXPECT_EQ(run.Go(), app::kExitCompleted);
    EXPECT_TRUE(run.temp.JournalLines("POWER").empty());
    const auto started = run.temp.JournalLines("START");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_NE(started[0].find("C:\\\\Prog\\\\a.txt"), std::string::npos) << started[0];
}

TEST(RunSequence, ANetworkInstallationCopiesTheSetAndShowsItsFinalPage) {
    Installation run("page 127 134\npage 104 next 101=\"C:\\\\Share\"\npage 133 ok\n", sandbox::MachineConfig::Default(),
                     "[NETINSTALL]\n[DEFAULTDIRNET]\nC:\\Share\n[STRINGSNET]\nTALMREG=Software\\Norvane\\Demo\n[FINALTEXTNET]\nShared in %DSTPATH%\n");
    run.temp.PutFile("C:\\MEDIUM\\Rovexa.exe", "MZ");
    EXPECT_EQ(run.Go(), app::kExitCompleted);
    EXPECT_EQ(run.temp.ReadFile("C:\\Share\\a.txt"), "payload");
    EXPECT_EQ(run.temp.ReadFile("C:\\Share\\Install.exe"), "MZ");
    EXPECT_EQ(run.temp.ReadFile("C:\\Share\\install.ini").find("[NETINSTALL]"), std::string::npos);
    EXPECT_NE(run.Pages().find("id=133"), std::string::npos);
    EXPECT_EQ(run.Pages().find("id=109"), std::string::npos);  // no personal data in a network installation
}

TEST(RunSequence, AnUpdateFoundInTheRegistryAsksBeforeReinstallingTheSameVersion) {
    Installation run("page 122 next\nmessage yes ~ \"do you really want to reinstall version 1.0.0\"\n"
                     "page 127 134\npage 109 next\npage 121 1\npage 128 ok\npage 129 ok\n",
                     sandbox::MachineConfig::Default(),
                     "[SYSSTRINGS]\nINSTALLDIR=HKLM,\"%TALMREG%\",Path\n[SEARCHINSTALL]\na.txt\n");
    auto& registry = run.app->platform().registry;
    ASSERT_TRUE(registry.WriteValue(platform::RootKey::local_machine, "Software\\Norvane\\Demo", "Path", platform::RegValue::Text("C:\\Old")));
    ASSERT_TRUE(registry.WriteValue(platform::RootKey::local_machine, "Software\\Norvane\\Demo\\Setup", "Version",
                                    platform::RegValue::Text("1.0.0")));
    EXPECT_EQ(run.Go(), app::kExitCompleted);
    EXPECT_EQ(run.temp.ReadFile("C:\\Old\\a.txt"), "payload");
    EXPECT_TRUE(run.app->flags().install_over);
    EXPECT_EQ(run.Pages().find("id=104"), std::string::npos);  // the ready-to-update page replaces the folder page
}

TEST(RunSequence, AnUpdateFoundByTheDriveScanCanGoToAnotherFolder) {
    Installation run("page 122 next 121=1\npage 127 134\npage 109 next\npage 104 next 101=\"C:\\\\New\"\npage 128 ok\npage 129 ok\n",
                     sandbox::MachineConfig::Default(), "[SEARCHINSTALL]\na.txt\n");
    // Found before the medium's own folder, which would not count.
    run.temp.PutFile("C:\\Apps\\a.txt", "old");
    EXPECT_EQ(run.Go(), app::kExitCompleted);
    EXPECT_EQ(run.temp.ReadFile("C:\\New\\a.txt"), "payload");
    EXPECT_EQ(run.temp.ReadFile("C:\\Apps\\a.txt"), "old");
    EXPECT_FALSE(run.app->flags().update);
    // The previous-installation page named the folder the scan found.
    EXPECT_NE(run.Pages().find("C:\\\\Apps"), std::string::npos) << run.Pages();
}

TEST(RunSequence, APatchUpdatesInPlaceWithoutThePersonalAndFolderPages) {
    // Version 1.0.1 of the product, as a patch for installations of 1.0.0 or later.
    std::string script = "[PATCH]\n1.0.0\n[SYSSTRINGS]\nINSTALLDIR=HKLM,\"%TALMREG%\",Path\n" + std::string(kScript);
    script.replace(script.find("[VERSION]\n1.0.0"), 15, "[VERSION]\n1.0.1");
    auto patch = [&](const std::string& installed, const std::string& answers) {
        auto run = std::make_unique<Installation>(answers);
        run->temp.PutFile("C:\\MEDIUM\\Install.ini", script);
        auto& registry = run->app->platform().registry;
        EXPECT_TRUE(registry.WriteValue(platform::RootKey::local_machine, "Software\\Norvane\\Demo", "Path",
                                        platform::RegValue::Text("C:\\Old")));
        EXPECT_TRUE(registry.WriteValue(platform::RootKey::local_machine, "Software\\Norvane\\Demo\\Setup", "Version",
                                        platform::RegValue::Text(installed)));
        return run;
    };
    auto too_old = patch("0.9.0", "message ok ~ \"Your must install version 1.0.0 or newer\"\n");
    EXPECT_EQ(too_old->Go(), app::kExitCouldNotStart);

    auto run = patch("1.0.0", "page 127 134\nmessage ok ~ \"The update has been installed.\"\n");
    EXPECT_EQ(run->Go(), app::kExitCompleted);
    EXPECT_EQ(run->temp.ReadFile("C:\\Old\\a.txt"), "payload");
    EXPECT_EQ(run->Pages().find("id=109"), std::string::npos);
    EXPECT_EQ(run->Pages().find("id=104"), std::string::npos);
    EXPECT_FALSE(platform::Exists(run->app->platform().files, "C:\\Old\\demo.nvu"));  // a patch keeps the log it has
}

TEST(RunSequence, AnUndefinedVariableDeepInTheRunEndsItThereWithTheFatalStop) {
    const std::string wizard = "page 127 134\npage 109 next\npage 104 next\n";
    const std::string stop = "message ok ~ \"Fatal error: undefined variable\\n%NOWHERE%\"\n";
    const auto config = sandbox::MachineConfig::Default();
    auto exists = [](Installation& run, const char* path) { return platform::Exists(run.app->platform().files, path); };
    {
        // The folder page's condition: the folder is not made, nothing is copied.
        Installation run(wizard + stop, config, "[WARNDIRCOND]\n%NOWHERE%,x,==\n");
        EXPECT_EQ(run.Go(), app::kExitFatalStop);
        EXPECT_FALSE(exists(run, "C:\\Prog"));
    }
    {
        // A file line: the copy stage reads every line before it copies, so nothing is copied
        // and no uninstall log is opened.
        Installation run(wizard + stop, config, "[FILES]\nb.txt,%NOWHERE%\\\n");
        EXPECT_EQ(run.Go(), app::kExitFatalStop);
        EXPECT_FALSE(exists(run, "C:\\Prog\\a.txt") || exists(run, "C:\\Prog\\demo.nvu"));
    }
    {
        // A registry line: the lines before it are written; it, the version, the success page
        // and the final commands are not.
        Installation run(wizard + stop, config,
                         "[REGISTRY]\nHKLM,Software\\Norvane\\Demo,First,,1\nHKLM,Software\\Norvane\\Demo,Second,,%NOWHERE%\n"
                         "[FINALCOMMAND]\n%DSTPATH%\\a.txt\n");
        EXPECT_EQ(run.Go(), app::kExitFatalStop);
        auto& registry = run.app->platform().registry;
        EXPECT_TRUE(registry.ReadValue(platform::RootKey::local_machine, "Software\\Norvane\\Demo", "First"));
        EXPECT_FALSE(registry.ReadValue(platform::RootKey::local_machine, "Software\\Norvane\\Demo", "Second"));
        EXPECT_FALSE(registry.ReadValue(platform::RootKey::local_machine, "Software\\Norvane\\Demo\\Setup", "Version"));
        EXPECT_EQ(run.Pages().find("id=128"), std::string::npos);
        EXPECT_TRUE(run.temp.JournalLines("START").empty());
    }
    // The program to start at the very end, after a complete installation: it is not started.
    Installation run(wizard + "page 128 ok 1010=1\npage 129 ok\n" + stop, config,
                     "[AUTOLAUNCH]\nStart the viewer\n%NOWHERE%\\a.txt\n");
    EXPECT_EQ(run.Go(), app::kExitFatalStop);
    EXPECT_EQ(run.temp.ReadFile("C:\\Prog\\a.txt"), "payload");
    EXPECT_TRUE(run.temp.JournalLines("START").empty());
}
