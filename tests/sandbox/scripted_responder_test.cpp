// Answer scripts: their syntax, and the stop when an answer does not fit the interaction.
#include "platform/sandbox/scripted_responder.h"

#include <gtest/gtest.h>

using namespace rvx;
using platform::Answer;
using platform::Buttons;
using platform::ControlKind;
using sandbox::ScriptedResponder;

namespace {

ScriptedResponder Script(const char* text) {
    auto parsed = ScriptedResponder::Parse(text, "answers.txt");
    EXPECT_TRUE(parsed) << (parsed ? "" : parsed.error().detail);
    return parsed ? std::move(parsed.value()) : ScriptedResponder::Parse("", "x").value();
}

platform::MessageRequest Question(const char* text) {
    return platform::MessageRequest{"Norvane Installation", text, Buttons::yes_no, platform::Icon::question, 2};
}

platform::PageModel FolderPage() {
    platform::PageModel page;
    page.dialog_id = 104;
    page.caption = "Demo";
    page.controls = {{106, ControlKind::text, "Choose a folder", "", 0, true, true},
                     {101, ControlKind::edit, "", "C:\\Program Files\\Demo", 10, true, true},
                     {1009, ControlKind::check_box, "Desktop icon", "0", 0, true, true},
                     {1, ControlKind::button, "Next >", "", 0, true, true},
                     {117, ControlKind::button, "< Back", "", 0, true, false},
                     {2, ControlKind::button, "Cancel", "", 0, true, true}};
    return page;
}

// The mismatch the interaction left on the responder; "no error" when the answer fitted.
std::string ErrorOf(const ScriptedResponder& script, const std::function<void()>& action) {
    action();
    return script.mismatch().value_or("no error");
}

}  // namespace

TEST(AnswerScript, AnswersMessagesPagesAndBrowsersInOrder) {
    auto script = Script(
        "# a comment\n"
        "message yes ~ \"quit now\"\n"
        "page 104 next 101=\"D:\\\\My Folder\" 1009=1\n"
        "browse \"C:\\\\Other\"\n"
        "browse cancel\n");
    EXPECT_EQ(script.AnswerMessage(Question("Do you want to quit now ?")), Answer::yes);
    auto page = FolderPage();
    EXPECT_EQ(script.AnswerPage(page), 1);
    EXPECT_EQ(page.Find(101)->value, "D:\\My Fold");  // cut at the edit's limit of 10
    EXPECT_EQ(page.Find(1009)->value, "1");
    EXPECT_EQ(script.AnswerBrowse("Folder", "C:\\").value_or(""), "C:\\Other");
    EXPECT_FALSE(script.AnswerBrowse("Folder", "C:\\").has_value());
    EXPECT_EQ(script.remaining(), 0u);
}

TEST(AnswerScript, AMismatchStopsWithTheLineAndThePendingInteraction) {
    {
        auto script = Script("page 104 next\n");
        std::string error = ErrorOf(script, [&] { script.AnswerMessage(Question("Quit ?")); });
        EXPECT_NE(error.find("answers.txt line 1"), std::string::npos) << error;
        EXPECT_NE(error.find("message box"), std::string::npos) << error;
        EXPECT_NE(error.find("Quit ?"), std::string::npos) << error;
    }
    {
        auto script = Script("message ok\n");  // a yes/no box has no OK
        EXPECT_NE(ErrorOf(script, [&] { script.AnswerMessage(Question("Quit ?")); }).find("not one of its buttons"), std::string::npos);
    }
    {
        auto script = Script("message yes ~ \"other text\"\n");
        EXPECT_NE(ErrorOf(script, [&] { script.AnswerMessage(Question("Quit ?")); }).find("does not contain"), std::string::npos);
    }
    {
        auto script = Script("page 109 next\n");
        auto page = FolderPage();
        EXPECT_NE(ErrorOf(script, [&] { script.AnswerPage(page); }).find("page 104"), std::string::npos);
    }
    {
        auto script = Script("page 104 back\n");  // Back is disabled on the first page
        auto page = FolderPage();
        EXPECT_NE(ErrorOf(script, [&] { script.AnswerPage(page); }).find("not a button"), std::string::npos);
    }
    {
        auto script = Script("page 104 next 106=x\n");  // a static text cannot be typed into
        auto page = FolderPage();
        EXPECT_NE(ErrorOf(script, [&] { script.AnswerPage(page); }).find("106=x"), std::string::npos);
    }
    {
        auto script = Script("");
        std::string error = ErrorOf(script, [&] { script.AnswerMessage(Question("Quit ?")); });
        EXPECT_NE(error.find("no answer left for message box"), std::string::npos) << error;
    }
}

TEST(AnswerScript, AMismatchIsAnsweredAsCancelledAndTheFirstReasonStays) {
    auto script = Script("message yes\nbrowse cancel\n");
    auto page = FolderPage();
    EXPECT_EQ(script.AnswerPage(page), sandbox::kCancelledPageButton);  // the next answer is for a message
    EXPECT_EQ(page.Find(101)->value, "C:\\Program Files\\Demo");
    EXPECT_EQ(script.AnswerMessage(Question("Quit ?")), Answer::cancel);
    EXPECT_FALSE(script.AnswerBrowse("Folder", "C:\\").has_value());
    EXPECT_EQ(script.remaining(), 2u);
    EXPECT_NE(script.mismatch().value_or("").find("the next answer is for a message"), std::string::npos);
}

TEST(AnswerScript, SyntaxErrorsNameTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"\n\nwhatever yes\n", "line 3"},
        {"message\n", "line 1"},
        {"page 104\n", "line 1"},
        {"message yes ~ \"open\n", "line 1"},
        {"browse a b\n", "line 1"},
        {"page 104 next 101=\"bad\\q\"\n", "line 1"},
        {"disk\n", "line 1"},
        {"disk 0\n", "line 1"},
        {"disk two\n", "line 1"},
    };
    for (const auto& [text, where] : cases) {
        auto parsed = ScriptedResponder::Parse(text, "answers.txt");
        ASSERT_FALSE(parsed) << text;
        EXPECT_NE(parsed.error().detail.find(where), std::string::npos) << parsed.error().detail;
    }
}

// "disk N" is no answer: it puts a disk into the drive while the next interaction is up, and
// only a medium of that many disks takes it.
TEST(AnswerScript, DiskLinesChangeTheDiskWhileTheNextInteractionIsUp) {
    {
        auto script = Script("disk 2\npage 104 next\nmessage yes\n");
        script.OfferDisks('A', 3);
        auto page = FolderPage();
        EXPECT_FALSE(script.TakeDiskChange().has_value());
        EXPECT_EQ(script.AnswerPage(page), 1);
        EXPECT_EQ(script.TakeDiskChange(), 2);
        EXPECT_FALSE(script.TakeDiskChange().has_value()) << "taken once";
        EXPECT_EQ(script.AnswerMessage(Question("Quit ?")), Answer::yes);
        EXPECT_FALSE(script.TakeDiskChange().has_value());
        EXPECT_EQ(script.remaining(), 0u);
    }
    {
        auto script = Script("disk 4\npage 104 next\n");
        script.OfferDisks('A', 3);
        auto page = FolderPage();
        const std::string error = ErrorOf(script, [&] { script.AnswerPage(page); });
        EXPECT_NE(error.find("line 1"), std::string::npos) << error;
        EXPECT_NE(error.find("has 3 disk(s), not 4"), std::string::npos) << error;
    }
    {
        auto script = Script("disk 1\npage 104 next\n");  // a medium of one folder
        auto page = FolderPage();
        EXPECT_NE(ErrorOf(script, [&] { script.AnswerPage(page); }).find("not a set of disks"), std::string::npos);
        EXPECT_EQ(page.Find(101)->value, "C:\\Program Files\\Demo");
    }
}
