// The simulated machine's screen: the console responder and the transcript of pages.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/dialog_description.h"
#include "platform/sandbox/console_responder.h"
#include "platform/sandbox/sandbox_ui.h"
#include "platform/sandbox/scripted_responder.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using platform::Answer;
using platform::Buttons;
using platform::ControlKind;

namespace {

platform::PageModel PersonalPage() {
    platform::PageModel page;
    page.dialog_id = 109;
    page.caption = "Demo";
    page.controls = {{105, ControlKind::text, "Your name, please", "", 0, true, true},
                     {101, ControlKind::edit, "Name", "Old", 5, true, true},
                     {102, ControlKind::edit, "Company", "", 40, true, true},
                     {1009, ControlKind::check_box, "Desktop icon", "0", 0, true, true},
                     {1, ControlKind::button, "Next >", "", 0, true, true},
                     {117, ControlKind::button, "< Back", "", 0, true, false},
                     {2, ControlKind::button, "Cancel", "", 0, true, true}};
    return page;
}

}  // namespace

TEST(ConsoleResponder, TypedAnswersEnterForTheDefaultAndEndOfInput) {
    std::istringstream in("y\n\nmaybe\nno\n");
    std::ostringstream out;
    sandbox::ConsoleResponder console(in, out);
    platform::MessageRequest question{"Norvane Installation", "Quit now ?", Buttons::yes_no, platform::Icon::question, 2};
    EXPECT_EQ(console.AnswerMessage(question), Answer::yes);
    EXPECT_EQ(console.AnswerMessage(question), Answer::no);  // Enter: the default, the second button
    EXPECT_EQ(console.AnswerMessage(question), Answer::no);  // "maybe" is asked again, then "no"
    EXPECT_NE(out.str().find("Please type one of the answers"), std::string::npos);
    EXPECT_EQ(console.AnswerMessage(question), Answer::no);  // nothing left to read: the default
    EXPECT_NE(out.str().find("Quit now ?"), std::string::npos);
}

TEST(ConsoleResponder, PagesAreFilledInFieldByField) {
    std::istringstream in("Jane Doe\nACME\ny\n1\n");
    std::ostringstream out;
    sandbox::ConsoleResponder console(in, out);
    auto page = PersonalPage();
    EXPECT_EQ(console.AnswerPage(page), 1);
    EXPECT_EQ(page.Find(101)->value, "Jane ");  // the edit's limit of five characters
    EXPECT_EQ(page.Find(102)->value, "ACME");
    EXPECT_EQ(page.Find(1009)->value, "1");
    EXPECT_NE(out.str().find("(page 109)"), std::string::npos);
    EXPECT_EQ(out.str().find("< Back"), std::string::npos);  // a disabled button is not offered

    std::istringstream empty("");
    sandbox::ConsoleResponder nobody(empty, out);
    auto again = PersonalPage();
    // With no one to answer, the program stops rather than cancel into a quit question that no
    // one can answer either.
    (void)nobody.AnswerPage(again);
    EXPECT_TRUE(nobody.mismatch().has_value());
    EXPECT_EQ(again.Find(101)->value, "Old");
}

// With a medium of several disks the terminal offers "disk N" at a page's buttons; a number
// outside the set is refused, and without a set "disk 2" is no answer at all.
TEST(ConsoleResponder, DiskNPutsADiskInWhileAPageIsUp) {
    std::istringstream in("\n\n\ndisk 4\ndisk 2\n1\n");
    std::ostringstream out;
    sandbox::ConsoleResponder console(in, out);
    console.OfferDisks('A', 3);
    auto page = PersonalPage();
    EXPECT_EQ(console.AnswerPage(page), 1);
    EXPECT_EQ(console.TakeDiskChange(), 2);
    EXPECT_NE(out.str().find("type disk N to put disk N of the medium's 3 into drive A:"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("The medium has disks 1 to 3."), std::string::npos) << out.str();

    std::ostringstream plain_out;
    std::istringstream plain_in("\n\n\ndisk 2\n1\n");
    sandbox::ConsoleResponder plain(plain_in, plain_out);
    auto other = PersonalPage();
    EXPECT_EQ(plain.AnswerPage(other), 1);
    EXPECT_FALSE(plain.TakeDiskChange().has_value());
    EXPECT_NE(plain_out.str().find("Please type the number or the #id of a button."), std::string::npos);
}

TEST(ConsoleResponder, EditsAreAskedByTheirLabelsAndButtonsMayBeChosenByTheirIds) {
    using platform::ControlClass;
    // A name field with its label just above, and a folder field with nothing right above it.
    const platform::ControlDescription controls[] = {
        {105, ControlClass::text, "", {104, 7, 205, 60}, 0},
        {platform::kNoControlId, ControlClass::text, "&Name:", {104, 80, 205, 8}, 0},
        {101, ControlClass::edit, "", {104, 90, 205, 12}, 40},
        {103, ControlClass::edit, "", {104, 130, 150, 12}, 100},
        {1, ControlClass::default_button, "Next", {150, 180, 50, 14}, 0},
        {117, ControlClass::button, "Back", {100, 180, 50, 14}, 0},
        {2, ControlClass::button, "Cancel", {250, 180, 50, 14}, 0}};
    const platform::DialogDescription description{109, {0, 0, 316, 202}, platform::DialogLook::wizard, "", controls};
    auto page_of = [&] {
        platform::PageModel page;
        page.dialog_id = 109;
        page.description = &description;
        page.controls = {{105, ControlKind::text, "Your name, please", "", 0, true, true},
                         {101, ControlKind::edit, "", "Old", 40, true, true},
                         {103, ControlKind::edit, "", "C:\\Demo", 100, true, true},
                         {1, ControlKind::button, "Next", "", 0, true, true},
                         {117, ControlKind::button, "Back", "", 0, true, true},
                         {2, ControlKind::button, "Cancel", "", 0, true, true}};
        return page;
    };
    std::istringstream in("Ann\n\n#2\n\n\n117\n\n\n9\n#117x\n2\n");
    std::ostringstream out;
    sandbox::ConsoleResponder console(in, out);
    auto first = page_of();
    EXPECT_EQ(console.AnswerPage(first), 2);  // "#2": the id of Cancel, not the second button
    EXPECT_EQ(first.Find(101)->value, "Ann");
    EXPECT_NE(out.str().find("  Name [Old]: "), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("  Control 103 [C:\\Demo]: "), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("Value"), std::string::npos) << out.str();
    auto second = page_of();
    EXPECT_EQ(console.AnswerPage(second), 117);  // no place 117 in the list: the id
    auto third = page_of();
    EXPECT_EQ(console.AnswerPage(third), 117);  // "9" and "#117x" are asked again, then place 2
    EXPECT_NE(out.str().find("Please type the number or the #id of a button."), std::string::npos);
}

TEST(ConsoleResponder, TheFolderBrowserTakesOnlyWholeFolders) {
    std::istringstream in("Demo\n..\\Up\nC:Demo\nD:\\Games\\Demo\n\n-\n");
    std::ostringstream out;
    sandbox::ConsoleResponder console(in, out);
    EXPECT_EQ(console.AnswerBrowse("Choose a folder", "C:\\Prog").value_or("cancelled"), "D:\\Games\\Demo");
    EXPECT_NE(out.str().find("\"Demo\" is not a full folder"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\"C:Demo\" is not a full folder"), std::string::npos) << out.str();
    EXPECT_EQ(console.AnswerBrowse("Choose a folder", "C:\\Prog").value_or("cancelled"), "C:\\Prog");
    EXPECT_EQ(console.AnswerBrowse("Choose a folder", "C:\\Prog").value_or("cancelled"), "cancelled");
}

TEST(Transcript, PagesAndMessagesAreJournaledWithWhatTheUserChanged) {
    test_support::TempMachine temp;
    auto script = sandbox::ScriptedResponder::Parse("page 109 next 101=Ann 1009=1\nmessage no\n", "answers");
    ASSERT_TRUE(script);
    sandbox::SandboxUi ui(temp.machine().journal(), script.value());
    auto page = PersonalPage();
    EXPECT_EQ(ui.ShowPage(page).value_or(0), 1);
    EXPECT_EQ(ui.ShowMessage({"Caption", "Line 1\nLine \"2\"", Buttons::yes_no, platform::Icon::question, 2}).value_or(Answer::ok),
              Answer::no);
    ui.ShowProgress("Installing");
    ui.CloseProgress();

    auto pages = temp.JournalLines("PAGE");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0],
              "PAGE id=109 caption=\"Demo\" t105=\"Your name, please\" e101=\"Old\" e102=\"\" x1009=\"0\":\"Desktop icon\" "
              "b1=\"Next >\" b117!=\"< Back\" b2=\"Cancel\" -> button=1 e101=\"Ann\" x1009=\"1\"");
    auto messages = temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "MESSAGE caption=\"Caption\" text=\"Line 1\\nLine \\\"2\\\"\" buttons=yes_no icon=question "
                           "default=2 answer=no");
    EXPECT_EQ(temp.JournalLines("PROGRESS"),
              (std::vector<std::string>{"PROGRESS action=show caption=\"Installing\"", "PROGRESS action=close"}));
}

TEST(Transcript, AStoppedAnswerScriptStillLeavesTheInteractionInTheJournal) {
    test_support::TempMachine temp;
    auto script = sandbox::ScriptedResponder::Parse("", "answers");
    ASSERT_TRUE(script);
    sandbox::SandboxUi ui(temp.machine().journal(), script.value());
    EXPECT_FALSE(ui.ShowMessage({"C", "T", Buttons::ok, platform::Icon::warning, 1}).ok());
    EXPECT_TRUE(script.value().mismatch().has_value());
    auto messages = temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("answer=none"), std::string::npos);
}

TEST(Transcript, OnceTheAnswersNoLongerFitNothingIsShownOrAnsweredAgain) {
    test_support::TempMachine temp;
    auto script = sandbox::ScriptedResponder::Parse("page 104 next\nmessage ok\npage 109 next\n", "answers");
    ASSERT_TRUE(script);
    sandbox::SandboxUi ui(temp.machine().journal(), script.value());
    auto page = PersonalPage();  // dialog 109, where the script expects 104
    auto refused = ui.ShowPage(page);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().status, platform::Status::cancelled);
    EXPECT_NE(refused.error().detail.find("answers line 1"), std::string::npos) << refused.error().detail;

    // The program goes its cancel way: what it shows then is refused, takes no answer and is
    // not journaled; the first reason stays.
    EXPECT_FALSE(ui.ShowMessage({"C", "Quit ?", Buttons::yes_no, platform::Icon::question, 2}).ok());
    EXPECT_FALSE(ui.ShowPage(page).ok());
    EXPECT_FALSE(ui.BrowseForFolder("Folder", "C:\\").ok());
    ui.ShowProgress("Installing");
    ui.DestroyBackground();
    EXPECT_EQ(script.value().remaining(), 2u);  // the mismatched answer was taken, the later ones were not
    EXPECT_NE(script.value().mismatch().value_or("").find("answer is for page 104"), std::string::npos);
    const auto pages = temp.JournalLines("PAGE");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("-> button=none"), std::string::npos);
    EXPECT_TRUE(temp.JournalLines("MESSAGE").empty());
    EXPECT_TRUE(temp.JournalLines("PROGRESS").empty());
    EXPECT_TRUE(temp.JournalLines("BACKGROUND").empty());
}
