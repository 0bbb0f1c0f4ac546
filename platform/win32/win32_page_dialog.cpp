// The modal page dialog: filling, the page's own behaviour, the side picture, reading back.
#include "platform/win32/win32_page_dialog.h"

#include <string>
#include <string_view>

#include "platform/dialog_description.h"
#include "platform/win32/dialog_marks.h"
#include "platform/win32/win32_errors.h"

namespace rvx::win32 {

using platform::ControlKind;

namespace {

// Ids shared by the page templates.
constexpr int kCancelButton = 2;
constexpr int kPictureFrame = 118;
constexpr int kProgramIcon = 2;

// The bitmap the page's description paints in its picture frame; 0 for none.
int SidePictureOf(const platform::PageModel& page) {
    const platform::ControlDescription* frame = page.description ? page.description->Find(kPictureFrame) : nullptr;
    return frame ? frame->image() : 0;
}

struct PageState {
    const DialogSource* source;
    platform::PageModel* page;
    HBITMAP side_picture = nullptr;
};

std::string ClassOf(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, int(sizeof name));
    return name;
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(size_t(length) + 1, '\0');
    text.resize(size_t(GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

void FillList(HWND list, std::string_view lines) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    while (!lines.empty()) {
        const size_t end = lines.find("\r\n");
        const std::string line(lines.substr(0, end));
        SendMessageA(list, LB_ADDSTRING, 0, LPARAM(line.c_str()));
        lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 2);
    }
}

void FillControl(HWND item, const platform::Control& control) {
    switch (control.kind) {
    case ControlKind::edit:
        if (control.max_length > 0) SendMessageA(item, EM_LIMITTEXT, WPARAM(control.max_length), 0);
        SetWindowTextA(item, control.value.c_str());
        break;
    case ControlKind::multiline_text:
        if (ClassOf(item) == "ListBox") FillList(item, control.value);
        else SetWindowTextA(item, control.value.c_str());
        break;
    case ControlKind::check_box:
    case ControlKind::radio:
        SetWindowTextA(item, control.text.c_str());
        SendMessageA(item, BM_SETCHECK, control.value == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case ControlKind::text:
    case ControlKind::button:
        // The model starts from the template's texts, so an empty text is meant to be empty.
        SetWindowTextA(item, control.text.c_str());
        break;
    }
    ShowWindow(item, control.visible ? SW_SHOW : SW_HIDE);
    EnableWindow(item, control.enabled ? TRUE : FALSE);
}

void ReadBack(HWND dialog, platform::PageModel& page) {
    for (auto& control : page.controls) {
        HWND item = GetDlgItem(dialog, control.id);
        if (!item) continue;
        if (control.kind == ControlKind::edit) control.value = WindowText(item);
        else if (control.kind == ControlKind::check_box || control.kind == ControlKind::radio)
            control.value = SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0";
    }
}

// The licence text (the page's read-only multi-line edit) takes the keyboard focus.
bool FocusReadOnlyText(HWND dialog, const platform::PageModel& page) {
    for (const auto& control : page.controls) {
        HWND item = GetDlgItem(dialog, control.id);
        if (control.kind != ControlKind::multiline_text || !item || ClassOf(item) != "Edit" || !control.visible) continue;
        SetFocus(item);
        SendMessageA(item, EM_SETSEL, 0, 0);
        return true;
    }
    return false;
}

void PaintSidePicture(HWND dialog, const PageState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    HWND frame = GetDlgItem(dialog, kPictureFrame);
    BITMAP info;
    if (frame && state.side_picture && GetObjectA(state.side_picture, sizeof info, &info)) {
        RECT area;
        GetWindowRect(frame, &area);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        InflateRect(&area, -1, -1);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, state.side_picture);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(dialog, &paint);
}

// A radio button chosen: the control it reveals is shown, those of the other buttons of its
// group are hidden, as the page's description says. False when id is no radio button.
bool ShowRevealedControls(HWND dialog, const platform::PageModel& page, int id) {
    if (!page.description) return false;
    const auto group = page.description->RadioGroupOf(id);
    if (group.empty()) return false;
    for (const auto& radio : group)
        if (radio.revealed() != 0) ShowWindow(GetDlgItem(dialog, radio.revealed()), radio.id == id ? SW_SHOW : SW_HIDE);
    return true;
}

bool IsPressable(const platform::PageModel& page, int id) {
    const platform::Control* control = page.Find(id);
    return control && control->kind == ControlKind::button && control->visible && control->enabled;
}

INT_PTR CALLBACK PageProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = reinterpret_cast<PageState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<PageState*>(lparam);
        SetWindowLongPtrA(dialog, DWLP_USER, LONG_PTR(state));
        SetPropA(dialog, kModalPageProperty, reinterpret_cast<HANDLE>(INT_PTR(state->page->dialog_id)));
        FillControls(dialog, *state->page);
        SetDialogIcons(dialog, *state->source, state->page->description);
        if (const int picture = SidePictureOf(*state->page))
            if (HMODULE module = ModuleWith(*state->source, picture, MAKEINTRESOURCEA(2) /* RT_BITMAP */))
                state->side_picture = LoadBitmapA(module, MAKEINTRESOURCEA(picture));
        CentreOnScreen(dialog);
        // FALSE tells the dialog manager that the focus was set here.
        return FocusReadOnlyText(dialog, *state->page) ? FALSE : TRUE;
    }
    case WM_PAINT:
        if (!state) return FALSE;
        PaintSidePicture(dialog, *state);
        return TRUE;
    case WM_COMMAND: {
        if (!state) return FALSE;
        const int id = LOWORD(wparam);
        const int code = HIWORD(wparam);
        if (code != BN_CLICKED) return FALSE;
        if (ShowRevealedControls(dialog, *state->page, id)) return TRUE;
        // Escape and the window's close box come as Cancel; a page without Cancel ignores them.
        if (!IsPressable(*state->page, id)) return TRUE;
        ReadBack(dialog, *state->page);
        EndDialog(dialog, id);
        return TRUE;
    }
    case WM_DESTROY:
        RemovePropA(dialog, kModalPageProperty);
        if (state && state->side_picture) DeleteObject(state->side_picture);
        if (state) state->side_picture = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

HMODULE ModuleWith(const DialogSource& source, int id, LPCSTR type) {
    for (HMODULE module : {HMODULE(source.language), HMODULE(source.program)})
        if (module && FindResourceA(module, MAKEINTRESOURCEA(id), type)) return module;
    return nullptr;
}

void FillControls(HWND dialog, const platform::PageModel& page) {
    if (!page.caption.empty()) SetWindowTextA(dialog, page.caption.c_str());
    for (const auto& control : page.controls)
        if (HWND item = GetDlgItem(dialog, control.id)) FillControl(item, control);
}

const platform::DialogDescription* DescriptionOf(const DialogSource& source, int dialog_id) {
    for (const platform::DialogDescription* description : source.dialogs)
        if (description && description->id == dialog_id) return description;
    return nullptr;
}

void SetDialogIcons(HWND dialog, const DialogSource& source, const platform::DialogDescription* description) {
    const int named = description ? description->Icon() : 0;
    HMODULE module = named ? ModuleWith(source, named, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */) : nullptr;
    HICON icon = module ? LoadIconA(module, MAKEINTRESOURCEA(named)) : LoadIconA(source.program, MAKEINTRESOURCEA(kProgramIcon));
    if (!icon) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != "Static" || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        if (!SendMessageA(child, STM_GETICON, 0, 0)) SendMessageA(child, STM_SETICON, WPARAM(icon), 0);
    }
}

void CentreOnScreen(HWND window) {
    RECT bounds;
    RECT work;
    GetWindowRect(window, &bounds);
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

platform::Result<int> RunPageDialog(const DialogSource& source, HWND owner, platform::PageModel& page) {
    HMODULE module = ModuleWith(source, page.dialog_id, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!module)
        return platform::Fail(platform::Status::not_found,
                              "the dialog template " + std::to_string(page.dialog_id) + " is not among the resources");
    PageState state{&source, &page};
    SetLastError(0);
    const INT_PTR pressed = DialogBoxParamA(module, MAKEINTRESOURCEA(page.dialog_id), owner, PageProcedure, LPARAM(&state));
    if (pressed == -1 || pressed == 0) return LastError("page " + std::to_string(page.dialog_id));
    return int(pressed);
}

}  // namespace rvx::win32
