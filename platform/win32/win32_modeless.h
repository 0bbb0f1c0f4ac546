// The modeless windows on the real machine: the progress page (the installer's two percentage
// bars, or the uninstaller's progress bar, whichever its template holds) and the search window.
// They are updated by direct messages and repainted at once, because the long loops that drive
// them do not dispatch messages.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/win32_page_dialog.h"

namespace rvx::win32 {

class ModelessDialog {
public:
    ~ModelessDialog() { Close(); }

    // Creates the window from its template, centred and shown; false when there is no template.
    bool Open(const DialogSource& source, HWND owner, int dialog_id);
    void Close();
    bool is_open() const { return window_ != nullptr; }
    HWND window() const { return window_; }
    HWND Item(int id) const { return window_ ? GetDlgItem(window_, id) : nullptr; }
    // Sets a control's text when it differs, and repaints it at once.
    void SetItemText(int id, std::string_view text);
    // Paints whatever is pending now.
    void Refresh();

private:
    HWND window_ = nullptr;
};

class ProgressWindow {
public:
    void Show(const DialogSource& source, HWND owner, std::string_view caption);
    void SetText(int line, std::string_view text);
    void SetBars(int file_percent, int total_percent);
    void Close() { dialog_.Close(); }
    void Refresh() { dialog_.Refresh(); }

private:
    ModelessDialog dialog_;
};

class SearchWindow {
public:
    void Show(const DialogSource& source, HWND owner);
    void SetFolder(std::string_view folder);
    void Close() { dialog_.Close(); }
    void Refresh() { dialog_.Refresh(); }

private:
    ModelessDialog dialog_;
};

}  // namespace rvx::win32
