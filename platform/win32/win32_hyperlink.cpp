// The subclassed static that is the hyperlink control on Windows.
#include "platform/win32/win32_hyperlink.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace rvx::win32 {

namespace {

constexpr const char* kLinkProperty = "RvxHyperlink";

class LinkWindow : public platform::HyperlinkWindow {
public:
    LinkWindow(HWND window, WNDPROC original_proc, std::string target, int notify_command, platform::HyperlinkActions& actions)
        : window_(window), original_(original_proc), logic_(std::move(target), notify_command), actions_(actions) {}
    ~LinkWindow() override {
        if (underlined_) DeleteObject(underlined_);
    }
    LinkWindow(const LinkWindow&) = delete;
    LinkWindow& operator=(const LinkWindow&) = delete;

    void Redraw() override { InvalidateRect(window_, nullptr, TRUE); }
    void PostCommandToParent(int command) override {
        PostMessageA(GetParent(window_), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), 0);
    }

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    WNDPROC original() const { return original_; }

private:
    void Paint();
    HFONT UnderlinedFont();

    HWND window_;
    WNDPROC original_;
    platform::HyperlinkControl logic_;
    platform::HyperlinkActions& actions_;
    HFONT underlined_ = nullptr;
    HFONT underlined_from_ = nullptr;  // the control's font the underlined one was made from
};

LinkWindow* LinkOf(HWND window) { return static_cast<LinkWindow*>(GetPropA(window, kLinkProperty)); }

LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LinkWindow* link = LinkOf(window);
    if (!link) return DefWindowProcA(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = link->original();
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(window, kLinkProperty);
        delete link;
        return CallWindowProcA(original, window, message, wparam, lparam);
    }
    return link->Handle(message, wparam, lparam);
}

HFONT LinkWindow::UnderlinedFont() {
    const HFONT base = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
    if (underlined_ && underlined_from_ == base) return underlined_;
    if (underlined_) DeleteObject(underlined_);
    LOGFONTA font{};
    GetObjectA(base ? static_cast<HGDIOBJ>(base) : GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfUnderline = TRUE;
    underlined_ = CreateFontIndirectA(&font);
    underlined_from_ = base;
    return underlined_;
}

// The advance of each character in the font selected into dc, and the text's extent.
std::vector<INT> Advances(HDC dc, std::string_view text, platform::Size& extent) {
    std::vector<INT> ends(text.size());
    SIZE size{};
    if (text.empty() || !GetTextExtentExPointA(dc, text.data(), static_cast<int>(text.size()), 0, nullptr, ends.data(), &size))
        return {};
    extent = {size.cx, size.cy};
    std::vector<INT> advances(text.size());
    for (size_t i = 0; i < text.size(); ++i) advances[i] = ends[i] - (i == 0 ? 0 : ends[i - 1]);
    return advances;
}

void LinkWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    // The dialog gives its statics their background brush.
    HBRUSH background = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(window_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_)));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    char buffer[512] = {};
    const std::string_view text(buffer, static_cast<size_t>(std::max(GetWindowTextA(window_, buffer, sizeof(buffer)), 0)));
    const HGDIOBJ previous = SelectObject(dc, UnderlinedFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, logic_.visited() ? kVisitedLinkColour : kLinkColour);
    // Each character goes where its measured advance puts it, so that the text fills the
    // rectangle it was fitted to: a system that spaces some glyphs wider when it draws them
    // than when it measures them (Wine's, for letters that start left of their cell) would
    // otherwise cut off the last letters.
    platform::Size extent;
    std::vector<INT> advances = Advances(dc, text, extent);
    if (!advances.empty()) {
        const platform::Rect area{client.left, client.top, client.right, client.bottom};
        const platform::Rect place = platform::HyperlinkControl::FitToText(
            area, text, HyperlinkStyleOf(GetWindowLongPtrA(window_, GWL_STYLE)), [extent](std::string_view) { return extent; });
        ExtTextOutA(dc, place.left, place.top, ETO_CLIPPED, &client, text.data(), static_cast<UINT>(text.size()), advances.data());
    }
    SelectObject(dc, previous);
    EndPaint(window_, &paint);
}

LRESULT LinkWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
    case WM_SETCURSOR: {
        // The 95 family before its later updates has no hand cursor: the arrow stays.
        HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
        SetCursor(hand ? hand : LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    }
    case WM_LBUTTONUP: logic_.OnClick(actions_, *this); return 0;
    default: return CallWindowProcA(original_, window_, message, wparam, lparam);
    }
}

}  // namespace

platform::HyperlinkStyle HyperlinkStyleOf(LONG_PTR window_style) {
    platform::HyperlinkStyle style;
    switch (window_style & SS_TYPEMASK) {
    case SS_CENTER: style.horizontal = platform::HorizontalAlignment::centre; break;
    case SS_RIGHT: style.horizontal = platform::HorizontalAlignment::right; break;
    default: style.horizontal = platform::HorizontalAlignment::left; break;
    }
    style.centre_vertically = (window_style & SS_CENTERIMAGE) != 0;
    return style;
}

platform::MeasureText MeasureInWindowFont(HWND window) {
    return [window](std::string_view text) {
        platform::Size extent;
        HDC dc = GetDC(window);
        if (!dc) return extent;
        const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
        SIZE size{};
        if (GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size)) extent = {size.cx, size.cy};
        SelectObject(dc, previous);
        ReleaseDC(window, dc);
        return extent;
    };
}

bool MakeHyperlink(HWND static_control, std::string target, int notify_command, platform::HyperlinkActions& actions) {
    if (!IsWindow(static_control) || LinkOf(static_control)) return false;
    // A static passes clicks through to its dialog unless it is told to notify.
    const LONG_PTR style = GetWindowLongPtrA(static_control, GWL_STYLE);
    SetWindowLongPtrA(static_control, GWL_STYLE, style | SS_NOTIFY);

    // The control shrinks to its text, so that only the text takes clicks.
    RECT window_rect;
    GetWindowRect(static_control, &window_rect);
    MapWindowPoints(nullptr, GetParent(static_control), reinterpret_cast<POINT*>(&window_rect), 2);
    char text[512] = {};
    GetWindowTextA(static_control, text, sizeof(text));
    const platform::Rect fitted = platform::HyperlinkControl::FitToText(
        {window_rect.left, window_rect.top, window_rect.right, window_rect.bottom}, text, HyperlinkStyleOf(style),
        MeasureInWindowFont(static_control));
    SetWindowPos(static_control, nullptr, fitted.left, fitted.top, fitted.width(), fitted.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);

    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(static_control, GWLP_WNDPROC));
    auto link = std::make_unique<LinkWindow>(static_control, original, std::move(target), notify_command, actions);
    if (!SetPropA(static_control, kLinkProperty, link.get())) return false;
    SetWindowLongPtrA(static_control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkProc));
    link.release();  // owned by the window from now on, freed in WM_NCDESTROY
    return true;
}

}  // namespace rvx::win32
