// The hyperlink control's logic: how it fits its rectangle to its text, and what a click does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hyperlink_control.h"

using namespace rvx::platform;

namespace {

// Every character is 7 pixels wide, every line 13 high.
Size FixedWidth(std::string_view text) { return {static_cast<int>(text.size()) * 7, 13}; }

struct Recorder : HyperlinkActions, HyperlinkWindow {
    std::vector<int> answers;  // the shell's codes, one per click
    std::vector<std::string> events;
    ShellCode Open(std::string_view target) override {
        events.push_back("open " + std::string(target));
        const int answer = answers.front();
        answers.erase(answers.begin());
        return {answer};
    }
    void ShowOpenError(ShellCode code) override { events.push_back("error " + std::to_string(code.value)); }
    void Redraw() override { events.push_back("redraw"); }
    void PostCommandToParent(int command) override { events.push_back("post " + std::to_string(command)); }
};

}  // namespace

TEST(HyperlinkControl, ShrinksToItsTextByItsAlignment) {
    const Rect area{10, 20, 210, 60};  // 200 wide, 40 high; the text is 70 by 13
    struct Case {
        HorizontalAlignment horizontal;
        bool centre_vertically;
        Rect expected;
    };
    const Case cases[] = {
        {HorizontalAlignment::left, false, {10, 20, 80, 33}},
        {HorizontalAlignment::centre, false, {75, 20, 145, 33}},
        {HorizontalAlignment::right, false, {140, 20, 210, 33}},
        {HorizontalAlignment::left, true, {10, 33, 80, 46}},
        {HorizontalAlignment::right, true, {140, 33, 210, 46}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.horizontal) * 10 + c.centre_vertically);
        EXPECT_EQ(HyperlinkControl::FitToText(area, "0123456789", {c.horizontal, c.centre_vertically}, FixedWidth), c.expected);
    }
    // A text wider or higher than the control keeps the control's extent in that direction.
    EXPECT_EQ(HyperlinkControl::FitToText({0, 0, 35, 10}, "0123456789", {HorizontalAlignment::centre, true}, FixedWidth),
              (Rect{0, 0, 35, 10}));
}

TEST(HyperlinkControl, ASuccessfulClickRedrawsAndPostsItsCommandOnceAFailureIsShown) {
    Recorder recorder;
    recorder.answers = {33, 42, 31};
    HyperlinkControl link("http://www.example.com", 1234);
    link.OnClick(recorder, recorder);
    EXPECT_TRUE(link.visited());
    link.OnClick(recorder, recorder);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"open http://www.example.com", "redraw", "post 1234",
                                                         "open http://www.example.com", "redraw", "post 1234"}));
    recorder.events.clear();
    link.OnClick(recorder, recorder);
    EXPECT_FALSE(link.visited());
    // Drawn unvisited again, then the reason; nothing is posted.
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"open http://www.example.com", "redraw", "error 31"}));

    Recorder silent;
    silent.answers = {32};
    HyperlinkControl never_visited("C:\\readme.txt");
    never_visited.OnClick(silent, silent);
    EXPECT_EQ(silent.events, (std::vector<std::string>{"open C:\\readme.txt", "error 32"}));
}
