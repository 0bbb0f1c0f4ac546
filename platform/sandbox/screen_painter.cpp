// Painting the simulated screen.
#include "platform/sandbox/screen_painter.h"

#include "platform/painting/background_scene.h"
#include "platform/painting/percent_bar_painter.h"
#include "platform/progress_controls.h"

namespace rvx::sandbox {

namespace pc = platform::progress_controls;

namespace {

bool SameLook(const platform::BackgroundLook& a, const platform::BackgroundLook& b) {
    return a.pictures == b.pictures && a.small_picture == b.small_picture && a.red == b.red && a.green == b.green &&
           a.blue == b.blue;
}

ControlLook Text(std::string text) {
    ControlLook look;
    look.text = std::move(text);
    return look;
}

ControlLook Bar(int percent, platform::Colour colour) {
    ControlLook look;
    look.percent = percent;
    look.bar_colour = colour;
    return look;
}

}  // namespace

const platform::DialogDescription* FindDialog(DialogList dialogs, int id) {
    for (const auto* dialog : dialogs)
        if (dialog && dialog->id == id) return dialog;
    return nullptr;
}

DialogScene SceneOfPage(const platform::PageModel& page, DialogList dialogs) {
    DialogScene scene{page.description ? page.description : FindDialog(dialogs, page.dialog_id), page.caption, {}};
    for (const auto& control : page.controls) {
        ControlLook look;
        const bool shows_value = control.kind == platform::ControlKind::edit || control.kind == platform::ControlKind::multiline_text;
        look.text = shows_value ? control.value : control.text;
        look.checked = control.value == "1";
        look.visible = control.visible;
        look.enabled = control.enabled;
        scene.looks[control.id] = std::move(look);
    }
    return scene;
}

DialogScene SceneOfProgress(const ProgressState& progress, DialogList dialogs, platform::Resources* resources) {
    DialogScene scene{FindDialog(dialogs, pc::kDialog), "", {}};
    if (!scene.dialog) return scene;
    if (resources) scene.dialog = &resources->Dialog(*scene.dialog);
    if (scene.dialog->Find(pc::kProgressBar)) {
        // The uninstaller's window keeps its own caption and shows the given one as its heading.
        scene.caption = scene.dialog->caption;
        scene.looks[pc::kHeading] = Text(progress.caption);
        scene.looks[pc::kAction] = Text(progress.line1);
        scene.looks[pc::kBlankLine] = Text("");
        scene.looks[pc::kProgressBar] = Bar(progress.total_percent, {});
        return scene;
    }
    scene.caption = progress.caption.empty() ? scene.dialog->caption : progress.caption;
    scene.looks[pc::kFirstLine] = Text(progress.line1);
    scene.looks[pc::kSecondLine] = Text(progress.line2);
    scene.looks[pc::kLowerBar] = Bar(progress.file_percent, platform::painting::kLowerBarColour);
    scene.looks[pc::kUpperBar] = Bar(progress.total_percent, platform::painting::kUpperBarColour);
    return scene;
}

const platform::painting::BackgroundScene& ScreenPainter::Background(const ScreenState& screen, platform::Size client) {
    if (!prepared_ || !SameLook(prepared_->look, screen.look) || prepared_->title != screen.title || prepared_->client != client)
        prepared_ = Prepared{screen.look, screen.title, client,
                             platform::painting::PrepareBackground(screen.look, screen.title, client, files_)};
    return prepared_->scene;
}

void ScreenPainter::Paint(platform::Canvas& canvas, const ScreenState& screen) {
    const platform::Size client = canvas.ClientSize();
    if (screen.background_shown)
        platform::painting::PaintBackground(canvas, Background(screen, client));
    else
        canvas.FillRect({0, 0, client.width, client.height}, kDesktopColour);
    if (screen.progress.shown) PaintDialog(canvas, SceneOfProgress(screen.progress, dialogs_, resources_));
    if (screen.page) PaintDialog(canvas, SceneOfPage(*screen.page, dialogs_));
}

}  // namespace rvx::sandbox
