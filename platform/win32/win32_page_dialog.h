// Modal pages on the real machine: the dialog template of the page's id, filled from the page
// model, shown until one of its buttons is pressed, and read back into the model.
#pragma once

#include <span>

#include "platform/dialog_description.h"
#include "platform/result.h"
#include "platform/user_interface.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

// Where a page's template and side picture come from, and the program's page descriptions.
struct DialogSource {
    HMODULE language = nullptr;  // the language library, when one is loaded
    HINSTANCE program = nullptr;
    std::span<const platform::DialogDescription* const> dialogs;
};

// The description of a dialog of the program; none when it has no such dialog.
const platform::DialogDescription* DescriptionOf(const DialogSource& source, int dialog_id);

// The module holding resource id of that type: the language library first, then the program.
HMODULE ModuleWith(const DialogSource& source, int id, LPCSTR type);

// Shows the page over owner (which may be none) and returns the id of the button pressed.
platform::Result<int> RunPageDialog(const DialogSource& source, HWND owner, platform::PageModel& page);

// Fills one dialog's controls from a model; shared with the modeless windows.
void FillControls(HWND dialog, const platform::PageModel& page);

// Gives the dialog's empty icon places an icon: the one its description names, else (none named,
// or not among the resources) the program's own icon.
void SetDialogIcons(HWND dialog, const DialogSource& source, const platform::DialogDescription* description);

// Centres a window on the screen's work area.
void CentreOnScreen(HWND window);

}  // namespace rvx::win32
