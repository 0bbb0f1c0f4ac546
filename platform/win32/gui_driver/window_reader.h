// What the GUI driver sees of the program under test: its pending top-level window (a page, a
// message box, the folder browser, or a modeless window), read into the same page model and
// message request the programs' user interface is given, and the user's actions on it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/user_interface.h"
#include "platform/win32/win32_api.h"

namespace rvx::gui_driver {

enum class WindowKind { page, message_box, folder_browser, modeless };

struct PendingWindow {
    HWND window = nullptr;
    WindowKind kind = WindowKind::page;
    int dialog_id = 0;  // pages and modeless windows
};

// The visible top-level dialogs of the process, modal ones first.
std::vector<PendingWindow> FindWindows(DWORD process_id);

// A page as a model: every child control with an id, in the template's order.
platform::PageModel ReadPage(const PendingWindow& pending);
// A message box as a request; the icon is read back from the system's own icons.
platform::MessageRequest ReadMessageBox(HWND box);
// The folder browser's title (its first non-empty static text).
std::string ReadBrowserTitle(HWND browser);

// Applies the values that differ between before and after as a user would: types into edits,
// clicks check boxes and radio buttons.
void ApplyValues(HWND page, const platform::PageModel& before, const platform::PageModel& after);
// Clicks the button with that id.
bool PressButton(HWND window, int id);
// Selects a folder in the browser (the folder text is handed to the browser's own process).
bool SelectBrowserFolder(HWND browser, DWORD process_id, const std::string& folder);

// A short description for error messages: class, caption and the texts of its children.
std::string DescribeWindow(HWND window);

}  // namespace rvx::gui_driver
