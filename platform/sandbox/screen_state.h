// What the simulated machine's screen shows: the background window, the progress page and the
// page in front, as the user interface last set them, and who is told when the screen is worth
// a picture.
#pragma once

#include <string>

#include "platform/user_interface.h"

namespace rvx::sandbox {

struct ProgressState {
    bool shown = false;
    std::string caption;
    std::string line1;
    std::string line2;
    int file_percent = 0;
    int total_percent = 0;
};

struct ScreenState {
    bool background_shown = false;  // once its title is set, until it is destroyed
    platform::BackgroundLook look;
    std::string title;
    ProgressState progress;
    const platform::PageModel* page = nullptr;  // the modal page in front, while it is shown
};

// The moments a picture of the screen is taken at.
enum class ScreenMoment {
    background,  // the background window was shown
    page,        // a page is shown
    progress,    // the progress page was shown, its texts changed, or it is about to close
    end,         // the background window is about to be destroyed
};

const char* MomentName(ScreenMoment moment);

class ScreenObserver {
public:
    virtual ~ScreenObserver() = default;
    virtual void Shown(const ScreenState& screen, ScreenMoment moment) = 0;
};

}  // namespace rvx::sandbox
