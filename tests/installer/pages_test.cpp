// The wizard pages on a simulated machine, answered from answer scripts: what each page shows,
// how it validates, what it returns and what it leaves in the install state.
#include <gtest/gtest.h>

#include "installer/core/pages/wizard_pages.h"
#include "tests/installer/file_engine_fixture.h"

using namespace rvx;
using installer::WizardPages;
using test_support::FileStages;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The journal line of the nth page shown (0 for the first).
std::string PageLine(FileStages& run, size_t index) {
    const auto pages = run.temp.JournalLines("PAGE");
    return index < pages.size() ? pages[index] : std::string();
}

size_t PagesShown(FileStages& run) { return run.temp.JournalLines("PAGE").size(); }

}  // namespace

TEST(WizardPageBase, FirstPageDisablesBackAndCancelAsksBeforeQuitting) {
    FileStages run("page 109 cancel\nmessage no ~ \"quit now\"\npage 109 cancel\nmessage yes ~ \"quit now\"\n");
    WizardPages pages(run.app);
    pages.caption = "Demo Setup";
    pages.personal.SetFirstPage(true);
    EXPECT_EQ(pages.personal.Run(), installer::kPageCancel);
    ASSERT_EQ(PagesShown(run), 2u);
    const std::string first = PageLine(run, 0);
    EXPECT_TRUE(Contains(first, "caption=\"Demo Setup\"")) << first;
    EXPECT_TRUE(Contains(first, "b117!=\"< &Back\"")) << first;
    EXPECT_TRUE(Contains(PageLine(run, 1), "b117!=")) << "No leaves the same page open";
}

TEST(WizardPageBase, ValuesSurviveBackAndReachTheInstallStateOnNext) {
    FileStages run("page 109 back 101=\"Jane Doe\" 102=ACME\npage 109 next 102=\"ACME Ltd\"\n");
    WizardPages pages(run.app);
    run.app.script().personalize_text = {"Please enter your name.", "unused"};
    EXPECT_EQ(pages.personal.Run(), installer::kPageBack);
    EXPECT_EQ(run.app.user().name, "") << "Back keeps the values in the page only";
    EXPECT_EQ(pages.personal.Run(), installer::kPageNext);
    const std::string second = PageLine(run, 1);
    EXPECT_TRUE(Contains(second, "t105=\"Please enter your name.\"")) << second;
    EXPECT_TRUE(Contains(second, "b117=\"< &Back\"")) << second;
    EXPECT_TRUE(Contains(second, "e101=\"Jane Doe\"")) << second;
    EXPECT_EQ(run.app.user().name, "Jane Doe");
    EXPECT_EQ(run.app.user().company, "ACME Ltd");
}

TEST(WizardPageBase, UnattendedPersonalDataComesFromTheAnswers) {
    FileStages run;
    WizardPages pages(run.app);
    run.app.answers().unattended = true;
    run.app.answers().name = "Max";
    run.app.answers().company = "Firm";
    EXPECT_EQ(pages.personal.Run(), installer::kPageNext);
    EXPECT_EQ(PagesShown(run), 0u);
    EXPECT_EQ(run.app.user().name, "Max");
    EXPECT_EQ(run.app.user().company, "Firm");
}

TEST(InstallFolderPage, RefusesNetworkPathsFloppiesAndUnusableDrivesUntilAFolderFits) {
    FileStages run("page 104 next 101=\"\\\\\\\\server\\\\share\\\\Prog\"\nmessage ok ~ \"folder is incorrect\"\n"
                   "page 104 next 101=\"a:\\\\Prog\"\nmessage ok ~ \"folder is incorrect\"\n"
                   "page 104 next 101=\"Q:\\\\Prog\"\nmessage ok ~ \"drive Q is invalid\"\n"
                   "page 104 next 101=\"C:\\\\Prog\"\n");
    WizardPages pages(run.app);
    run.app.folders().default_folder = "";
    EXPECT_EQ(pages.folder.Run(), installer::kPageNext);
    ASSERT_EQ(PagesShown(run), 4u);
    EXPECT_TRUE(Contains(PageLine(run, 0), "e101=\"C:\\\\\"")) << "no default folder proposes the drive root";
    EXPECT_TRUE(Contains(PageLine(run, 3), "e101=\"Q:\\\\Prog\"")) << "a refused folder stays in the page";
    EXPECT_FALSE(run.Exists("A:\\Prog"));
    EXPECT_EQ(run.app.folders().installation, "C:\\Prog");
    EXPECT_TRUE(platform::IsFolder(run.app.platform().files, "C:\\Prog"));
}

TEST(InstallFolderPage, BrowseAppendsTheProductFolderNameUnlessAlreadyThere) {
    FileStages run("page 104 126\nbrowse \"C:\\\\Apps\"\npage 104 126\nbrowse \"C:\\\\Tools\\\\demo\"\n"
                   "page 104 126\nbrowse cancel\npage 104 next\n");
    WizardPages pages(run.app);
    run.app.folders().default_folder = "C:\\Program Files\\Demo";
    EXPECT_EQ(pages.folder.Run(), installer::kPageNext);
    EXPECT_TRUE(Contains(PageLine(run, 1), "e101=\"C:\\\\Apps\\\\Demo\"")) << PageLine(run, 1);
    EXPECT_TRUE(Contains(PageLine(run, 2), "e101=\"C:\\\\Tools\\\\demo\"")) << PageLine(run, 2);
    EXPECT_TRUE(Contains(PageLine(run, 3), "e101=\"C:\\\\Tools\\\\demo\"")) << "cancelling the browser changes nothing";
    EXPECT_EQ(run.app.folders().installation, "C:\\Tools\\demo");
}

TEST(InstallFolderPage, BackKeepsTheTypedFolder) {
    FileStages run("page 104 back 101=\"C:\\\\Typed\"\npage 104 next\n");
    WizardPages pages(run.app);
    run.app.folders().default_folder = "C:\\Program Files\\Demo";
    EXPECT_EQ(pages.folder.Run(), installer::kPageBack);
    EXPECT_EQ(pages.folder.Run(), installer::kPageNext);
    EXPECT_EQ(run.app.folders().installation, "C:\\Typed");
}

TEST(InstallFolderPage, UnattendedTakesTheAnswerOrFallsBackToThePage) {
    {
        FileStages run;
        WizardPages pages(run.app);
        run.app.answers().unattended = true;
        run.app.answers().folder = "C:\\Answered";
        EXPECT_EQ(pages.folder.Run(), installer::kPageNext);
        EXPECT_EQ(PagesShown(run), 0u);
        EXPECT_EQ(run.app.folders().installation, "C:\\Answered");
        EXPECT_TRUE(run.app.answers().unattended);
    }
    {
        FileStages run("message ok ~ \"folder is incorrect\"\npage 104 next 101=\"C:\\\\Prog\"\n");
        WizardPages pages(run.app);
        run.app.answers().unattended = true;
        run.app.answers().folder = "A:\\Answered";
        EXPECT_EQ(pages.folder.Run(), installer::kPageNext);
        EXPECT_TRUE(Contains(PageLine(run, 0), "e101=\"A:\\\\Answered\"")) << PageLine(run, 0);
        EXPECT_FALSE(run.app.answers().unattended);
        EXPECT_EQ(run.app.folders().installation, "C:\\Prog");
    }
    {
        // An answer file without a folder names none: the page asks, with the proposed folder.
        FileStages run("message ok ~ \"folder is incorrect\"\npage 104 next\n");
        WizardPages pages(run.app);
        run.app.folders().default_folder = "C:\\Program Files\\Demo";
        run.app.answers().unattended = true;
        EXPECT_EQ(pages.folder.Run(), installer::kPageNext);
        EXPECT_EQ(PagesShown(run), 1u);
        EXPECT_TRUE(Contains(PageLine(run, 0), "e101=\"C:\\\\Program Files\\\\Demo\"")) << PageLine(run, 0);
        EXPECT_FALSE(run.app.answers().unattended);
        EXPECT_EQ(run.app.folders().installation, "C:\\Program Files\\Demo");
        EXPECT_EQ(run.temp.responder().remaining(), 0u);
    }
}

TEST(DocumentsFolderPage, ExplainsEachRefusalAndShowsThePageAgain) {
    auto config = sandbox::MachineConfig::Default();
    config.denied_paths = {"C:\\Locked"};
    FileStages run("page 126 next 101=\"C:\\\\Taken\"\nmessage ok ~ \"File C:\\\\Taken\\nalready exists.\"\n"
                   "page 126 next 101=\"C:\\\\Locked\\\\Docs\"\nmessage ok ~ \"no right to create\"\n"
                   "page 126 next 101=\"Q:\\\\Docs\"\nmessage ok ~ \"folder is incorrect\"\n"
                   "page 126 next 101=\"C:\\\\My Docs\\\\Demo\"\n",
                   config);
    run.Put("C:\\Taken", "a file");
    WizardPages pages(run.app);
    run.app.folders().documents = "C:\\Docs\\";
    EXPECT_EQ(pages.documents.Run(), installer::kPageNext);
    EXPECT_TRUE(Contains(PageLine(run, 0), "e101=\"C:\\\\Docs\\\\\"")) << PageLine(run, 0);
    EXPECT_EQ(PagesShown(run), 4u);
    EXPECT_EQ(run.app.folders().documents, "C:\\My Docs\\Demo\\");
    EXPECT_TRUE(platform::IsFolder(run.app.platform().files, "C:\\My Docs\\Demo"));
}

TEST(DocumentsFolderPage, UnattendedAnswerIsUsedOrEndsTheUnattendedRun) {
    FileStages run("message ok ~ \"already exists\"\npage 126 next 101=\"C:\\\\Docs\"\n");
    run.Put("C:\\Taken", "a file");
    WizardPages pages(run.app);
    run.app.folders().documents = "C:\\Docs\\";
    run.app.answers().unattended = true;
    run.app.answers().documents_folder = "C:\\Taken";
    EXPECT_EQ(pages.documents.Run(), installer::kPageNext);
    EXPECT_FALSE(run.app.answers().unattended);
    EXPECT_TRUE(Contains(PageLine(run, 0), "e101=\"C:\\\\Taken\"")) << PageLine(run, 0);
    EXPECT_EQ(PagesShown(run), 1u);
    EXPECT_EQ(run.app.folders().documents, "C:\\Docs\\");
}

TEST(LicencePage, LinesArePrecededByBreaksAndNoAsksBeforeQuitting) {
    FileStages run("page 127 cancel\nmessage no ~ \"quit now\"\npage 127 back\npage 127 134\npage 127 cancel\nmessage yes\n");
    WizardPages pages(run.app);
    run.app.script().licence_text = {"Line one", "Line two"};
    EXPECT_EQ(pages.licence.Run(), installer::kPageBack);
    const std::string first = PageLine(run, 0);
    EXPECT_TRUE(Contains(first, "m101=\"\\r\\nLine one\\r\\nLine two\"")) << first;
    EXPECT_TRUE(Contains(first, "b134=\"Yes\"") && Contains(first, "b2=\"No\"")) << first;
    EXPECT_EQ(pages.licence.Run(), installer::kPageNext);
    EXPECT_EQ(pages.licence.Run(), installer::kPageCancel);
}

TEST(WizardPageBase, ShownTextsGetTheVersionAndPatchMarkers) {
    FileStages run("page 109 next\npage 104 next\npage 128 ok\npage 129 ok\n");
    WizardPages pages(run.app);
    auto& script = run.app.script();
    script.version = "2.1";
    script.required_version = "2.0";
    script.personalize_text = {"Welcome to Demo %VERSION"};
    script.install_dir_text = {"Demo %VERSION updates %PATCH"};
    script.success_text = {"Demo %VERSION is installed.", "Version %VERSION"};
    script.web_info_text = "News of %VERSION";
    run.app.folders().default_folder = "C:\\Shown";
    EXPECT_EQ(pages.personal.Run(), installer::kPageNext);
    EXPECT_EQ(pages.folder.Run(), installer::kPageNext);
    EXPECT_EQ(pages.success.Run(), installer::kPageNext);
    EXPECT_EQ(pages.final_information.Run(), installer::kPageNext);
    ASSERT_EQ(PagesShown(run), 4u);
    EXPECT_TRUE(Contains(PageLine(run, 0), "t105=\"Welcome to Demo 2.1\"")) << PageLine(run, 0);
    EXPECT_TRUE(Contains(PageLine(run, 1), "t106=\"Demo 2.1 updates 2.0\"")) << PageLine(run, 1);
    EXPECT_TRUE(Contains(PageLine(run, 2), "t105=\"Demo 2.1 is installed.\" t106=\"Version 2.1\"")) << PageLine(run, 2);
    EXPECT_TRUE(Contains(PageLine(run, 3), "\"News of 2.1\"")) << PageLine(run, 3);
}

TEST(SuccessPage, CheckBoxesNeedEnoughDesktopLinesAndExactlyTwoLaunchLines) {
    FileStages run("page 128 ok\npage 128 ok 1010=1\n");
    WizardPages pages(run.app);
    run.app.script().success_text = {"All done."};
    run.app.script().desktop_icons = {"Desktop icon", "a", "b"};
    run.app.script().auto_launch = {"Start it", "demo.exe", "extra"};
    EXPECT_EQ(pages.success.Run(), installer::kPageNext);
    const std::string first = PageLine(run, 0);
    EXPECT_TRUE(Contains(first, "t105=\"All done.\"") && Contains(first, "t106=\" \"")) << first;
    EXPECT_FALSE(Contains(first, "x1009") || Contains(first, "x1010") || Contains(first, "b117")) << first;

    run.app.script().desktop_icons.push_back("c");
    run.app.script().auto_launch.pop_back();
    run.app.flags().desktop_shortcut_on = true;
    WizardPages fresh(run.app);
    EXPECT_EQ(fresh.success.Run(), installer::kPageNext);
    const std::string second = PageLine(run, 1);
    EXPECT_TRUE(Contains(second, "x1009=\"1\":\"Desktop icon\"")) << second;
    EXPECT_TRUE(Contains(second, "x1010=\"0\":\"Start it\"")) << second;
    EXPECT_TRUE(run.app.answers().desktop_shortcut_choice);
    EXPECT_TRUE(run.app.answers().launch_choice);
}

TEST(SuccessPage, UnattendedTakesTheDesktopAnswerAndNeverLaunches) {
    FileStages run;
    WizardPages pages(run.app);
    run.app.script().auto_launch = {"Start it", "demo.exe"};
    run.app.answers().unattended = true;
    run.app.answers().desktop_shortcut_answer = 1;
    run.app.answers().launch_choice = true;
    EXPECT_EQ(pages.success.Run(), installer::kPageNext);
    EXPECT_EQ(PagesShown(run), 0u);
    EXPECT_TRUE(run.app.answers().desktop_shortcut_choice);
    EXPECT_FALSE(run.app.answers().launch_choice);
}

TEST(FinalInformationPage, HidesEmptySamplesAndTheWebButtonWithoutAnAddress) {
    FileStages run("page 129 ok\npage 129 126\n");
    WizardPages pages(run.app);
    run.app.folders().documents = "";
    EXPECT_EQ(pages.final_information.Run(), installer::kPageNext);
    const std::string bare = PageLine(run, 0);
    EXPECT_TRUE(Contains(bare, "e101=\"C:\\\\Prog\"")) << bare;
    EXPECT_FALSE(Contains(bare, "e102") || Contains(bare, "t124") || Contains(bare, "b126")) << bare;

    run.app.folders().documents = "C:\\Docs\\";
    run.app.script().examples_subfolder = "Samples";
    run.app.script().web_link = "www.example.com";
    run.app.script().web_button_text = "Visit us";
    EXPECT_EQ(pages.final_information.Run(), installer::kPageNext);
    const std::string full = PageLine(run, 1);
    EXPECT_TRUE(Contains(full, "e102=\"C:\\\\Docs\\\\Samples\"")) << full;
    EXPECT_TRUE(Contains(full, "b126=\"Visit us\"")) << full;
    EXPECT_EQ(PagesShown(run), 2u) << "the web button closes the page as OK does";
    const auto opened = run.temp.JournalLines("OPEN");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(Contains(opened[0], "target=\"http://www.example.com\"")) << opened[0];
    EXPECT_TRUE(Contains(opened[0], "result=ok")) << opened[0];
}

TEST(FinalInformationPage, TheWebButtonClosesThePageEvenWhenNothingOpensIt) {
    FileStages run("page 129 126\n");
    WizardPages pages(run.app);
    run.app.script().web_link = "www.example.com";
    ASSERT_TRUE(run.app.platform().registry.DeleteKey(platform::RootKey::classes_root, ".htm"));
    EXPECT_EQ(pages.final_information.Run(), installer::kPageNext);
    EXPECT_EQ(PagesShown(run), 1u);
    EXPECT_EQ(run.temp.JournalLines("MESSAGE").size(), 1u) << "only the trace notice: the failure is not reported";
    ASSERT_EQ(run.temp.JournalLines("OPEN").size(), 1u);
    EXPECT_TRUE(Contains(run.temp.JournalLines("OPEN")[0], "result=no-association"));
}

TEST(PreviousInstallationPage, ChoiceHidesTheWarningAndIsKept) {
    FileStages run("page 122 back 121=1\npage 122 next\n");
    WizardPages pages(run.app);
    pages.previous.SetTexts("Demo", "C:\\Old", "Old files will be removed.");
    EXPECT_EQ(pages.previous.Run(), installer::kPageBack);
    EXPECT_TRUE(Contains(PageLine(run, 0), "t129=\"Old files will be removed.\"")) << PageLine(run, 0);
    EXPECT_EQ(pages.previous.Run(), installer::kPageNext);
    const std::string second = PageLine(run, 1);
    EXPECT_FALSE(Contains(second, "t129")) << second;
    EXPECT_EQ(pages.previous.choice(), installer::PreviousInstallationChoice::install_elsewhere);
}

TEST(UnattendedRun, SkipsTheQuestionPagesAndTheReadyPageOffersInstall) {
    {
        FileStages run;
        WizardPages pages(run.app);
        run.app.answers().unattended = true;
        pages.previous.SetChoice(installer::PreviousInstallationChoice::install_elsewhere);
        EXPECT_EQ(pages.previous.Run(), installer::kPageNext);
        EXPECT_EQ(pages.previous.choice(), installer::PreviousInstallationChoice::update_here);
        EXPECT_EQ(pages.ready.Run(), installer::kPageNext);
        EXPECT_EQ(pages.licence.Run(), installer::kPageNext);
        EXPECT_EQ(pages.final_information.Run(), installer::kPageNext);
        EXPECT_EQ(PagesShown(run), 0u);
    }
    FileStages run("page 121 next\n");
    WizardPages pages(run.app);
    EXPECT_EQ(pages.ready.Run(), installer::kPageNext);
    EXPECT_TRUE(Contains(PageLine(run, 0), "b1=\"Install\"")) << PageLine(run, 0);
}
