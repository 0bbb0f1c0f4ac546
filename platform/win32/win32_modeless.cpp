// The progress page and the search window.
#include "platform/win32/win32_modeless.h"

#include <commctrl.h>

#include "platform/win32/dialog_marks.h"
#include "platform/win32/percent_bar.h"

namespace rvx::win32 {

namespace {

constexpr int kProgressDialog = 130;
constexpr int kSearchDialog = 119;

// The installer's progress page: two text lines and two custom-drawn bars.
constexpr int kFirstLine = 102;
constexpr int kSecondLine = 104;
constexpr int kUpperBar = 105;  // the whole stage
constexpr int kLowerBar = 103;  // the current file
// The uninstaller's progress window: a heading, the action, a blank line and a progress bar.
constexpr int kHeading = 1004;
constexpr int kAction = 1002;
constexpr int kBlankLine = 1003;
constexpr int kProgressBar = 1007;
// The search window: the folder being searched.
constexpr int kSearchedFolder = 127;

constexpr const char* kBarPercentProperty = "RovexaPercent";
constexpr const char* kBarProcedureProperty = "RovexaBarProcedure";

INT_PTR CALLBACK ModelessProcedure(HWND window, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    // The mark stays until the very end, so that the window is known for what it is while it
    // is being destroyed.
    if (message == WM_NCDESTROY) RemovePropA(window, kModelessWindowProperty);
    // Escape and the close box do not close a window that a stage owns.
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) return TRUE;
    return FALSE;
}

// The bar statics paint themselves as percentage bars; their own text is never shown.
LRESULT CALLBACK BarProcedure(HWND bar, UINT message, WPARAM wparam, LPARAM lparam) {
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(bar, kBarProcedureProperty));
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(bar, &paint);
        RECT bounds;
        GetClientRect(bar, &bounds);
        FillRect(dc, &bounds, GetSysColorBrush(COLOR_BTNFACE));
        const int percent = int(reinterpret_cast<INT_PTR>(GetPropA(bar, kBarPercentProperty)));
        HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(GetParent(bar), WM_GETFONT, 0, 0)));
        DrawPercentBar(dc, bounds, percent, GetDlgCtrlID(bar) == kUpperBar ? kUpperBarColour : kLowerBarColour);
        SelectObject(dc, old_font);
        EndPaint(bar, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(bar, GWLP_WNDPROC, LONG_PTR(previous));
        RemovePropA(bar, kBarProcedureProperty);
        RemovePropA(bar, kBarPercentProperty);
    }
    return CallWindowProcA(previous, bar, message, wparam, lparam);
}

void MakeBar(HWND bar) {
    if (!bar || GetPropA(bar, kBarProcedureProperty)) return;
    SetPropA(bar, kBarProcedureProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrA(bar, GWLP_WNDPROC)));
    SetWindowLongPtrA(bar, GWLP_WNDPROC, LONG_PTR(BarProcedure));
}

void SetBar(HWND bar, int percent) {
    if (!bar || int(reinterpret_cast<INT_PTR>(GetPropA(bar, kBarPercentProperty))) == percent) return;
    SetPropA(bar, kBarPercentProperty, reinterpret_cast<HANDLE>(INT_PTR(percent)));
    InvalidateRect(bar, nullptr, TRUE);
    UpdateWindow(bar);
}

}  // namespace

bool ModelessDialog::Open(const DialogSource& source, HWND owner, int dialog_id) {
    Close();
    HMODULE module = ModuleWith(source, dialog_id, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!module) return false;
    window_ = CreateDialogParamA(module, MAKEINTRESOURCEA(dialog_id), owner, ModelessProcedure, 0);
    if (!window_) return false;
    SetPropA(window_, kModelessWindowProperty, reinterpret_cast<HANDLE>(INT_PTR(dialog_id)));
    SetDialogIcons(window_, source, DescriptionOf(source, dialog_id));
    CentreOnScreen(window_);
    ShowWindow(window_, SW_SHOWNORMAL);
    Refresh();
    return true;
}

void ModelessDialog::Close() {
    if (!window_) return;
    DestroyWindow(window_);
    window_ = nullptr;
}

void ModelessDialog::SetItemText(int id, std::string_view text) {
    HWND item = Item(id);
    if (!item) return;
    const std::string wanted(text);
    char current[1024] = {};
    GetWindowTextA(item, current, int(sizeof current));
    if (wanted == current) return;
    SetWindowTextA(item, wanted.c_str());
    UpdateWindow(item);
}

void ModelessDialog::Refresh() {
    if (window_) RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ProgressWindow::Show(const DialogSource& source, HWND owner, std::string_view caption) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (!dialog_.Open(source, owner, kProgressDialog)) return;  // without its template progress is simply not shown
    if (HWND bar = dialog_.Item(kProgressBar)) {
        SendMessageA(bar, PBM_SETRANGE32, 0, 100);
        dialog_.SetItemText(kHeading, caption);
        dialog_.SetItemText(kBlankLine, "");
    } else {
        const std::string title(caption);
        if (!title.empty()) SetWindowTextA(dialog_.window(), title.c_str());
        MakeBar(dialog_.Item(kUpperBar));
        MakeBar(dialog_.Item(kLowerBar));
    }
    dialog_.Refresh();
}

void ProgressWindow::SetText(int line, std::string_view text) {
    if (!dialog_.is_open()) return;
    const bool removal = dialog_.Item(kProgressBar) != nullptr;
    if (line == 1) dialog_.SetItemText(removal ? kAction : kFirstLine, text);
    else if (line == 2 && !removal) dialog_.SetItemText(kSecondLine, text);
}

void ProgressWindow::SetBars(int file_percent, int total_percent) {
    if (!dialog_.is_open()) return;
    if (HWND bar = dialog_.Item(kProgressBar)) {
        SendMessageA(bar, PBM_SETPOS, WPARAM(total_percent), 0);
        UpdateWindow(bar);
        return;
    }
    SetBar(dialog_.Item(kLowerBar), file_percent);
    SetBar(dialog_.Item(kUpperBar), total_percent);
}

void SearchWindow::Show(const DialogSource& source, HWND owner) { dialog_.Open(source, owner, kSearchDialog); }

void SearchWindow::SetFolder(std::string_view folder) { dialog_.SetItemText(kSearchedFolder, folder); }

}  // namespace rvx::win32
