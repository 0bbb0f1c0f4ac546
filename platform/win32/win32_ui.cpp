// Message boxes, pages, modeless windows, the folder browser and the background window.
#include "platform/win32/win32_ui.h"

#include "platform/painting/background_scene.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_folder_browser.h"
#include "platform/win32/win32_page_dialog.h"

namespace rvx::win32 {
namespace {

UINT ButtonStyle(platform::Buttons buttons) {
    switch (buttons) {
    case platform::Buttons::ok: return MB_OK;
    case platform::Buttons::ok_cancel: return MB_OKCANCEL;
    case platform::Buttons::yes_no: return MB_YESNO;
    case platform::Buttons::yes_no_cancel: return MB_YESNOCANCEL;
    case platform::Buttons::retry_cancel: return MB_RETRYCANCEL;
    case platform::Buttons::abort_retry_ignore: return MB_ABORTRETRYIGNORE;
    }
    return MB_OK;
}

UINT IconStyle(platform::Icon icon) {
    switch (icon) {
    case platform::Icon::none: return 0;
    case platform::Icon::stop: return MB_ICONSTOP;
    case platform::Icon::question: return MB_ICONQUESTION;
    case platform::Icon::warning: return MB_ICONWARNING;
    case platform::Icon::information: return MB_ICONINFORMATION;
    }
    return 0;
}

UINT DefaultButtonStyle(int default_button) {
    if (default_button == 2) return MB_DEFBUTTON2;
    if (default_button == 3) return MB_DEFBUTTON3;
    return MB_DEFBUTTON1;
}

std::optional<platform::Answer> AnswerFromId(int id) {
    switch (id) {
    case IDOK: return platform::Answer::ok;
    case IDCANCEL: return platform::Answer::cancel;
    case IDABORT: return platform::Answer::abort;
    case IDRETRY: return platform::Answer::retry;
    case IDIGNORE: return platform::Answer::ignore;
    case IDYES: return platform::Answer::yes;
    case IDNO: return platform::Answer::no;
    default: return std::nullopt;
    }
}

// The background window: paints its scene, and nothing else of its own.
LRESULT CALLBACK BackgroundProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* ui = reinterpret_cast<Win32UserInterface*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND: return 1;  // the painting covers every pixel
    case WM_PAINT:
        if (ui) {
            ui->PaintBackground(window);
            return 0;
        }
        break;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        // A palette display gives the pictures' colours back when the window is painted again.
        if (message == WM_PALETTECHANGED && HWND(wparam) == window) return 0;
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    default: break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

Win32UserInterface::~Win32UserInterface() { DestroyBackground(); }

platform::Result<platform::Answer> Win32UserInterface::ShowMessage(const platform::MessageRequest& request) {
    const UINT style = ButtonStyle(request.buttons) | IconStyle(request.icon) | DefaultButtonStyle(request.default_button);
    const int id = MessageBoxA(background_, request.text.c_str(), request.caption.c_str(), style);
    if (id == 0) return LastError("message box \"" + request.caption + "\"");
    if (auto answer = AnswerFromId(id)) return *answer;
    return platform::Fail(platform::Status::io_error, "message box answered with unknown button " + std::to_string(id));
}

platform::Result<int> Win32UserInterface::ShowPage(platform::PageModel& page) {
    return RunPageDialog(Source(), Owner(), page);
}

platform::Result<std::optional<std::string>> Win32UserInterface::BrowseForFolder(std::string_view title,
                                                                                 std::string_view initial) {
    return BrowseForFolderWithShell(Owner(), title, initial);
}

void Win32UserInterface::ShowProgress(std::string_view caption) { progress_.Show(Source(), Owner(), caption); }
void Win32UserInterface::SetProgressText(int line, std::string_view text) { progress_.SetText(line, text); }
void Win32UserInterface::SetProgressBars(int file_percent, int total_percent) {
    progress_.SetBars(file_percent, total_percent);
}
void Win32UserInterface::CloseProgress() { progress_.Close(); }

void Win32UserInterface::ShowSearch(std::string_view) { search_.Show(Source(), Owner()); }
void Win32UserInterface::SetSearchFolder(std::string_view folder) { search_.SetFolder(folder); }
void Win32UserInterface::CloseSearch() { search_.Close(); }

platform::Outcome Win32UserInterface::RegisterBackgroundClass() {
    WNDCLASSA window_class = {};
    window_class.style = CS_NOCLOSE;
    window_class.lpfnWndProc = BackgroundProcedure;
    window_class.hInstance = instance_;
    window_class.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(2));
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = nullptr;
    window_class.lpszMenuName = nullptr;
    window_class.lpszClassName = kBackgroundClass;
    if (!RegisterClassA(&window_class)) return LastError(std::string("window class ") + kBackgroundClass);
    return {};
}

platform::Outcome Win32UserInterface::CreateBackground() {
    if (background_) return {};
    // Created hidden: it is shown once the script has said how it should look.
    background_ = CreateWindowExA(0, kBackgroundClass, "", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance_, this);
    if (!background_) return LastError("the background window");
    return {};
}

void Win32UserInterface::SetBackgroundTitle(std::string_view title) {
    if (!background_) return;
    const std::string text(title);
    SetWindowTextA(background_, text.c_str());
    ShowWindow(background_, SW_SHOWMAXIMIZED);
    RECT client;
    GetClientRect(background_, &client);
    scene_ = platform::painting::PrepareBackground(look_, text, {client.right, client.bottom}, files_);
    InvalidateRect(background_, nullptr, FALSE);
    UpdateWindow(background_);
}

void Win32UserInterface::PaintBackground(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    GdiCanvas canvas(dc, {client.right, client.bottom});
    platform::painting::PaintBackground(canvas, scene_);
    EndPaint(window, &paint);
}

void Win32UserInterface::DestroyBackground() {
    if (!background_) return;
    DestroyWindow(background_);
    background_ = nullptr;
}

void Win32UserInterface::ShowWaitCursor(bool waiting) { SetCursor(LoadCursorA(nullptr, waiting ? IDC_WAIT : IDC_ARROW)); }

void Win32UserInterface::KeepAlive() {
    // One message is taken off the queue and dropped, so that the system does not think the
    // program hangs; the wait cursor says that it is busy.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    // Painting is not dispatched either, so the modeless windows paint what is pending here.
    progress_.Refresh();
    search_.Refresh();
}

}  // namespace rvx::win32
