// The simulated screen as the journal recorded it: the background window's look and title and
// the progress page's caption, texts and percentages, replayed from the journal's lines of the
// last program that ran, so that the screen can be drawn again after the program has ended.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"
#include "platform/sandbox/screen_state.h"

namespace rvx::sandbox {

struct ReplayedScreen {
    ScreenState screen;    // never with a page: pages are journaled once they are answered
    std::string program;   // the Windows path of the program whose screen it is; empty: none ran
    size_t line = 0;       // the journal line the screen stood at
};

// up_to_line: the screen after that many lines. Without it, the screen as the last program
// left it: its background window and progress page as they stood just before the window was
// destroyed, or as they stand when the journal ends before that. A malformed line of a kind
// the screen depends on is an error naming its line.
platform::Result<ReplayedScreen> ReplayScreen(std::string_view journal, std::optional<size_t> up_to_line = std::nullopt);

}  // namespace rvx::sandbox
