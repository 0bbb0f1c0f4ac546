// The user interface service: message boxes, modal pages, the progress page, the search window
// and the background window. Pages are described by value (a PageModel) so that the same page
// logic drives a real dialog, a terminal page or an answer from a script.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace rvx::platform {

enum class Buttons { ok, ok_cancel, yes_no, yes_no_cancel, retry_cancel, abort_retry_ignore };
enum class Icon { none, stop, question, warning, information };

// Answers carry the numbers Windows gives the standard buttons.
enum class Answer { ok = 1, cancel = 2, abort = 3, retry = 4, ignore = 5, yes = 6, no = 7 };

struct MessageRequest {
    std::string caption;
    std::string text;
    Buttons buttons = Buttons::ok;
    Icon icon = Icon::warning;
    int default_button = 1;  // 1 for the first button, 2 for the second, 3 for the third
};

enum class ControlKind {
    text,            // a static text
    edit,            // a one-line edit field
    multiline_text,  // a read-only multi-line text (the licence)
    check_box,       // value "1" or "0"
    radio,           // value "1" or "0"; radios of one page form one group
    button,          // pressing it ends ShowPage with its id
};

struct Control {
    int id = 0;
    ControlKind kind = ControlKind::text;
    std::string text;   // caption of a button, check box or radio; content of a static text
    std::string value;  // content of an edit; "1"/"0" for check boxes and radios
    int max_length = 0; // edits: most characters accepted, 0 for no limit
    bool visible = true;
    bool enabled = true;
};

struct DialogDescription;

struct PageModel {
    int dialog_id = 0;
    std::string caption;
    // The dialog the model was made from (see dialog_description.h), for a platform that builds
    // the page from its template; none for a model put together by hand.
    const DialogDescription* description = nullptr;
    std::vector<Control> controls;

    Control* Find(int id);
    const Control* Find(int id) const;
    // Appends a control with its id, kind and text; the others keep their defaults.
    Control& Add(int id, ControlKind kind, std::string text);
};

// How the background window should look: its picture choices (files of the installation medium;
// the one drawn is the largest that fits the screen, larger in both sides than every earlier
// fitting one, else the first, see platform/painting/background_picture.h), the small picture,
// and the gradient's base colour.
struct BackgroundLook {
    std::vector<std::string> pictures;
    std::string small_picture;
    int red = 0;
    int green = 0;
    int blue = 255;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    virtual Result<Answer> ShowMessage(const MessageRequest& request) = 0;
    // Shows a modal page until one of its buttons is pressed, writes the values the user
    // entered back into the model, and returns the id of that button.
    virtual Result<int> ShowPage(PageModel& page) = 0;
    // The system's folder browser; nothing when the user cancels.
    virtual Result<std::optional<std::string>> BrowseForFolder(std::string_view title, std::string_view initial) = 0;

    // The modeless progress page: two text lines and two bars (percent of the file, of the whole).
    virtual void ShowProgress(std::string_view caption) = 0;
    virtual void SetProgressText(int line, std::string_view text) = 0;
    virtual void SetProgressBars(int file_percent, int total_percent) = 0;
    virtual void CloseProgress() = 0;

    // The modeless search window shown while earlier installations are looked for.
    virtual void ShowSearch(std::string_view text) = 0;
    virtual void SetSearchFolder(std::string_view folder) = 0;
    virtual void CloseSearch() = 0;

    // The full-screen background window: its window class is registered once at start-up,
    // then the window is created.
    virtual Outcome RegisterBackgroundClass() = 0;
    virtual Outcome CreateBackground() = 0;
    virtual void SetBackgroundLook(const BackgroundLook& look) = 0;
    // Sets the title and shows the window over the whole screen.
    virtual void SetBackgroundTitle(std::string_view title) = 0;
    virtual void DestroyBackground() = 0;

    // Keeps windows alive during long loops: removes one pending message without dispatching it.
    virtual void KeepAlive() = 0;

    // The wait cursor while the program is busy at something that takes a moment on its own
    // (opening a document); false shows the normal arrow again.
    virtual void ShowWaitCursor(bool waiting) = 0;
};

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    explicit WaitCursor(UserInterface& ui) : ui_(ui) { ui_.ShowWaitCursor(true); }
    ~WaitCursor() { ui_.ShowWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    UserInterface& ui_;
};

}  // namespace rvx::platform
