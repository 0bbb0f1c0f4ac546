// Modal pages on the real machine: the dialog template of the page's id, filled from the page
// model, shown until one of its buttons is pressed, and read back into the model.
#pragma once

#include "platform/result.h"
#include "platform/user_interface.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

// Where a page's template and side picture come from.
struct DialogSource {
    HMODULE language = nullptr;  // the language library, when one is loaded
    HINSTANCE program = nullptr;
};

// The module holding resource id of that type: the language library first, then the program.
HMODULE ModuleWith(const DialogSource& source, int id, LPCSTR type);

// Shows the page over owner (which may be none) and returns the id of the button pressed.
platform::Result<int> RunPageDialog(const DialogSource& source, HWND owner, platform::PageModel& page);

// Fills one dialog's controls from a model; shared with the modeless windows.
void FillControls(HWND dialog, const platform::PageModel& page);

// Gives the dialog's empty icon places an icon: resource 128 of the template's module when it
// has one (the uninstaller's), else the program's own icon.
void SetDialogIcons(HWND dialog, const DialogSource& source);

// Centres a window on the screen's work area.
void CentreOnScreen(HWND window);

}  // namespace rvx::win32
