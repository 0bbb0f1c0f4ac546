// Paints what the simulated machine's screen shows: the background window through the
// background painter (or the desktop when there is none), the progress page with its texts and
// bars, and the page in front, each dialog laid out from the program's page descriptions.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/canvas.h"
#include "platform/dialog_description.h"
#include "platform/files.h"
#include "platform/libraries.h"
#include "platform/painting/background_painter.h"
#include "platform/sandbox/dialog_painter.h"
#include "platform/sandbox/screen_state.h"

namespace rvx::sandbox {

// The desktop's colour where no background window covers it.
inline constexpr platform::Colour kDesktopColour{0, 128, 128};

using DialogList = std::span<const platform::DialogDescription* const>;

const platform::DialogDescription* FindDialog(DialogList dialogs, int id);

// What a page model shows, control by control.
DialogScene SceneOfPage(const platform::PageModel& page, DialogList dialogs);
// What the progress page shows: its caption, lines and bars in the controls of either program's
// progress window; in the template the language library in use gives it, when resources are given.
DialogScene SceneOfProgress(const ProgressState& progress, DialogList dialogs, platform::Resources* resources = nullptr);

class ScreenPainter {
public:
    // Pictures are read through files, which must outlive the painter.
    ScreenPainter(DialogList dialogs, platform::FileSystem& files) : dialogs_(dialogs), files_(files) {}

    void Paint(platform::Canvas& canvas, const ScreenState& screen);
    // The progress page, which has no page model, is then drawn from the library's template.
    void TranslateWith(platform::Resources& resources) { resources_ = &resources; }

private:
    const platform::painting::BackgroundScene& Background(const ScreenState& screen, platform::Size client);

    DialogList dialogs_;
    platform::Resources* resources_ = nullptr;
    platform::FileSystem& files_;
    // The background's pictures are read once for each look, title and screen size.
    struct Prepared {
        platform::BackgroundLook look;
        std::string title;
        platform::Size client;
        platform::painting::BackgroundScene scene;
    };
    std::optional<Prepared> prepared_;
};

}  // namespace rvx::sandbox
