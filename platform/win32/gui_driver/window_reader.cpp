// Reading the program's windows through ordinary window messages, and acting on them.
#include "platform/win32/gui_driver/window_reader.h"

#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <utility>

#include "platform/win32/dialog_marks.h"

namespace rvx::gui_driver {

using platform::ControlKind;

namespace {

// A control without an id of its own, as the system's templates mark their labels.
constexpr int kNoId = 0xFFFF;
// An edit's limit when none was set; such an edit counts as unlimited.
constexpr LRESULT kDefaultEditLimit = 30000;
constexpr size_t kListLineSpare = 1024;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, int(sizeof name));
    return name;
}

// WM_GETTEXT is carried across processes by the system, unlike GetWindowText for controls.
std::string TextOf(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::string text(size_t(length) + 1, '\0');
    const LRESULT copied = SendMessageA(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
    return children;
}

bool HasDescendantOfClass(HWND parent, const char* class_name) {
    for (HWND child : ChildrenOf(parent))
        if (ClassOf(child) == class_name || HasDescendantOfClass(child, class_name)) return true;
    return false;
}

struct Search {
    DWORD process_id;
    std::vector<PendingWindow> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process_id || !IsWindowVisible(window)) return TRUE;
    PendingWindow pending{window};
    if (HANDLE page = GetPropA(window, win32::kModalPageProperty)) {
        pending.kind = WindowKind::page;
        pending.dialog_id = int(reinterpret_cast<INT_PTR>(page));
    } else if (HANDLE modeless = GetPropA(window, win32::kModelessWindowProperty)) {
        pending.kind = WindowKind::modeless;
        pending.dialog_id = int(reinterpret_cast<INT_PTR>(modeless));
    } else if (ClassOf(window) == "#32770") {
        pending.kind = HasDescendantOfClass(window, "SysTreeView32") ? WindowKind::folder_browser : WindowKind::message_box;
    } else {
        return TRUE;  // the background window and other plain windows need no answer
    }
    search.found.push_back(pending);
    return TRUE;
}

std::optional<ControlKind> KindOf(HWND control) {
    const std::string name = ClassOf(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (name == "Edit") return (style & ES_MULTILINE) ? ControlKind::multiline_text : ControlKind::edit;
    if (name == "ListBox") return ControlKind::multiline_text;
    if (name == "Button") {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return ControlKind::check_box;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return ControlKind::radio;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: return ControlKind::button;
        default: return std::nullopt;  // group boxes and owner-drawn buttons hold no answer
        }
    }
    if (name == "Static") {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP: return ControlKind::text;
        default: return std::nullopt;  // pictures, frames and lines
        }
    }
    return std::nullopt;
}

std::string ListBoxLines(HWND list) {
    // The system carries a list box's lines across processes in its wide form only.
    std::string lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0);
        std::wstring wide(size_t(length > 0 ? length : 0) + kListLineSpare, L'\0');
        SendMessageW(list, LB_GETTEXT, WPARAM(i), LPARAM(wide.data()));
        wide.resize(std::wcslen(wide.c_str()));
        std::string line(wide.size() * 2 + 1, '\0');
        const int converted = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), line.data(), int(line.size()),
                                                  nullptr, nullptr);
        line.resize(size_t(converted > 0 ? converted : 0));
        lines += (i == 0 ? "" : "\r\n") + line;
    }
    return lines;
}

platform::Icon IconOf(HWND box) {
    const std::array<std::pair<LPCSTR, platform::Icon>, 4> system_icons{{{IDI_HAND, platform::Icon::stop},
                                                                          {IDI_QUESTION, platform::Icon::question},
                                                                          {IDI_EXCLAMATION, platform::Icon::warning},
                                                                          {IDI_ASTERISK, platform::Icon::information}}};
    for (HWND child : ChildrenOf(box)) {
        if (ClassOf(child) != "Static" || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        const HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        for (const auto& [name, icon] : system_icons)
            if (shown && shown == LoadIconA(nullptr, name)) return icon;
    }
    return platform::Icon::none;
}

}  // namespace

std::vector<PendingWindow> FindWindows(DWORD process_id) {
    Search search{process_id, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    std::vector<PendingWindow> ordered;
    for (const auto& window : search.found)
        if (window.kind != WindowKind::modeless) ordered.push_back(window);
    for (const auto& window : search.found)
        if (window.kind == WindowKind::modeless) ordered.push_back(window);
    return ordered;
}

platform::PageModel ReadPage(const PendingWindow& pending) {
    platform::PageModel page;
    page.dialog_id = pending.dialog_id;
    page.caption = TextOf(pending.window);
    for (HWND child : ChildrenOf(pending.window)) {
        const int id = GetDlgCtrlID(child);
        const auto kind = KindOf(child);
        if (id == 0 || id == kNoId || id == -1 || !kind) continue;
        platform::Control& control = page.Add(id, *kind, "");
        control.visible = IsWindowVisible(child) != FALSE;
        control.enabled = IsWindowEnabled(child) != FALSE;
        switch (*kind) {
        case ControlKind::edit: {
            control.value = TextOf(child);
            const LRESULT limit = SendMessageA(child, EM_GETLIMITTEXT, 0, 0);
            control.max_length = limit > 0 && limit < kDefaultEditLimit ? int(limit) : 0;
            break;
        }
        case ControlKind::multiline_text:
            control.value = ClassOf(child) == "ListBox" ? ListBoxLines(child) : TextOf(child);
            break;
        case ControlKind::check_box:
        case ControlKind::radio:
            control.text = TextOf(child);
            control.value = SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0";
            break;
        case ControlKind::text:
        case ControlKind::button: control.text = TextOf(child); break;
        }
    }
    return page;
}

platform::MessageRequest ReadMessageBox(HWND box) {
    platform::MessageRequest request;
    request.caption = TextOf(box);
    request.icon = IconOf(box);
    std::vector<int> buttons;
    int default_button = 1;
    for (HWND child : ChildrenOf(box)) {
        if (!IsWindowVisible(child)) continue;
        const std::string name = ClassOf(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (name == "Static" && (style & SS_TYPEMASK) != SS_ICON) {
            const std::string text = TextOf(child);
            if (text.size() > request.text.size()) request.text = text;
        } else if (name == "Button") {
            buttons.push_back(GetDlgCtrlID(child));
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) default_button = int(buttons.size());
        }
    }
    auto has = [&buttons](int id) { return std::find(buttons.begin(), buttons.end(), id) != buttons.end(); };
    using platform::Buttons;
    if (has(IDABORT)) request.buttons = Buttons::abort_retry_ignore;
    else if (has(IDRETRY)) request.buttons = Buttons::retry_cancel;
    else if (has(IDYES)) request.buttons = has(IDCANCEL) ? Buttons::yes_no_cancel : Buttons::yes_no;
    else request.buttons = has(IDCANCEL) ? Buttons::ok_cancel : Buttons::ok;
    request.default_button = default_button;
    return request;
}

std::string ReadBrowserTitle(HWND browser) {
    for (HWND child : ChildrenOf(browser))
        if (ClassOf(child) == "Static" && IsWindowVisible(child))
            if (std::string text = TextOf(child); !text.empty()) return text;
    return {};
}

void ApplyValues(HWND page, const platform::PageModel& before, const platform::PageModel& after) {
    for (size_t i = 0; i < after.controls.size() && i < before.controls.size(); ++i) {
        const platform::Control& control = after.controls[i];
        if (control.value == before.controls[i].value) continue;
        HWND child = GetDlgItem(page, control.id);
        if (!child) continue;
        if (control.kind == ControlKind::edit) {
            SendMessageA(child, WM_SETTEXT, 0, LPARAM(control.value.c_str()));
        } else if (control.kind == ControlKind::check_box || (control.kind == ControlKind::radio && control.value == "1")) {
            // A click, as the user's: the page sees the change as it would see the user's.
            SendMessageA(child, BM_CLICK, 0, 0);
        }
    }
}

bool PressButton(HWND window, int id) {
    HWND button = GetDlgItem(window, id);
    if (!button) return false;
    // Posted, so that the driver does not wait inside the program's handling of the click.
    return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

bool SelectBrowserFolder(HWND browser, DWORD process_id, const std::string& folder) {
    // The browser reads the folder text in its own process, so the text is written there.
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, folder.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool selected = false;
    if (remote && WriteProcessMemory(process, remote, folder.c_str(), folder.size() + 1, nullptr)) {
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, LPARAM(remote));
        selected = true;
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return selected;
}

std::string DescribeWindow(HWND window) {
    std::string text = ClassOf(window) + " \"" + TextOf(window) + "\"";
    for (HWND child : ChildrenOf(window)) {
        if (!IsWindowVisible(child)) continue;
        const std::string child_text = TextOf(child);
        if (!child_text.empty()) text += " [" + std::to_string(GetDlgCtrlID(child)) + "] \"" + child_text + "\"";
    }
    return text;
}

}  // namespace rvx::gui_driver
