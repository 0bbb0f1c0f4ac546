// rvxlinkcheck.exe: the GUI tests' check of the hyperlink control in a real window. It starts the
// hyperlink probe (rvxlinks.exe), finds its dialog, and
// - compares each link's rectangle with the area its hidden twin keeps: the link must have
//   shrunk to its text as drawn (the link colour's pixels on the screen span it) and be placed
//   by its alignment (left, centred also vertically, right);
// - clicks the links, as the other GUI tests click (the button's messages, after checking that
//   the link, not its dialog, takes a click there), and reads back what followed: the
//   commands the links post (the dialog's count of them), the visited colour on the screen,
//   and for the link whose target cannot be opened the error box with its text;
// - keeps a screenshot before the visits and after each in SHOTS-FOLDER.
// The left link's target opens directly, the centre one's through the registered web browser;
// before the right one is clicked the browser's registration is taken away (".htm" then names
// a file type without an open command), so that its fallback fails as well.
//
//   rvxlinkcheck SHOTS-FOLDER PROBE
//
// Prints one line per check; exit code 0 when every check held, 1 otherwise, 2 for a wrong
// command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "platform/win32/gui_driver/screenshot.h"
#include "platform/win32/gui_driver/window_reader.h"
#include "platform/win32/link_probe/link_probe_ids.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_hyperlink.h"

namespace rvx::gui_driver {
namespace {

using platform::HorizontalAlignment;

constexpr DWORD kPollMilliseconds = 50;
constexpr DWORD kWaitMilliseconds = 10000;
// The time a window's painting needs to reach the screen.
constexpr DWORD kPaintMilliseconds = 300;
// Pixels allowed between the text's drawn extent and the control's edges (glyph bearings).
constexpr int kInkTolerance = 2;

// The error the right link's missing document gives once no browser is registered either.
constexpr const char* kOpenErrorText = "Unable to open hyperlink:\n\nThe specified file was not found.";
constexpr const char* kMessageCaption = "Norvane Installation";
constexpr const char* kNoBrowserType = "RvxNoBrowser";

struct LinkUnderTest {
    const char* name;
    int control;
    int area;
    HorizontalAlignment horizontal;
    bool centre_vertically;
};

constexpr LinkUnderTest kLeft{"left", RVX_LINK_LEFT, RVX_AREA_LEFT, HorizontalAlignment::left, false};
constexpr LinkUnderTest kCentre{"centre", RVX_LINK_CENTRE, RVX_AREA_CENTRE, HorizontalAlignment::centre, true};
constexpr LinkUnderTest kRight{"right", RVX_LINK_RIGHT, RVX_AREA_RIGHT, HorizontalAlignment::right, false};

std::string Describe(const RECT& rect) {
    return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom) + ")";
}

// WM_GETTEXT is carried across processes by the system; a timeout keeps a hung probe from
// holding the check.
std::string TextOf(HWND window) {
    char text[512] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &copied))
        return {};
    std::string result;
    for (size_t i = 0; i < copied && text[i]; ++i)
        if (text[i] != '\r') result += text[i];
    return result;
}

bool WaitFor(const std::function<bool()>& condition, DWORD limit = kWaitMilliseconds) {
    for (DWORD waited = 0;; waited += kPollMilliseconds) {
        if (condition()) return true;
        if (waited >= limit) return false;
        Sleep(kPollMilliseconds);
    }
}

// The pixels of the two link colours inside a rectangle of the screen, and where the
// unvisited colour's pixels lie.
struct Ink {
    int link_pixels = 0;
    int visited_pixels = 0;
    RECT link_extent{};
};

Ink InkIn(const ScreenImage& screen, const RECT& area) {
    Ink ink;
    ink.link_extent = {area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF colour = screen.At(x, y);
            if (colour == win32::kVisitedLinkColour) ++ink.visited_pixels;
            if (colour != win32::kLinkColour) continue;
            ++ink.link_pixels;
            ink.link_extent.left = std::min<LONG>(ink.link_extent.left, x);
            ink.link_extent.top = std::min<LONG>(ink.link_extent.top, y);
            ink.link_extent.right = std::max<LONG>(ink.link_extent.right, x + 1);
            ink.link_extent.bottom = std::max<LONG>(ink.link_extent.bottom, y + 1);
        }
    }
    return ink;
}

class LinkCheck {
public:
    LinkCheck(std::string shots, std::string probe) : shots_(std::move(shots)), probe_(std::move(probe)) {}

    int Run() {
        if (!Start()) return 1;
        Sleep(kPaintMilliseconds);
        ScreenImage before = Shoot("links-before");
        for (const LinkUnderTest& link : {kLeft, kCentre, kRight}) CheckFit(link, before);

        Visit(kLeft, "left=1 centre=0 right=0", "web-visited");
        Visit(kCentre, "left=1 centre=1 right=0", "document-visited");
        TakeBrowserAway();
        FailToOpen(kRight, "left=1 centre=1 right=0");
        // A second visit posts the command once more, and the link stays visited.
        Visit(kLeft, "left=2 centre=1 right=0", "web-visited-again");
        Close();
        std::printf("%d of %d checks failed\n", failures_, checks_);
        return failures_ == 0 ? 0 : 1;
    }

private:
    void Expect(bool held, const std::string& what) {
        ++checks_;
        if (!held) ++failures_;
        std::printf("%s: %s\n", held ? "ok" : "FAILED", what.c_str());
        std::fflush(stdout);
    }

    bool Start() {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string line = "\"" + probe_ + "\"";
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
            Expect(false, "the probe " + probe_ + " starts (error " + std::to_string(GetLastError()) + ")");
            return false;
        }
        const bool shown = WaitFor([this] {
            for (const auto& window : FindWindows(process_.dwProcessId))
                if (window.kind == WindowKind::page && window.dialog_id == RVX_LINK_DIALOG) dialog_ = window.window;
            return dialog_ != nullptr;
        });
        Expect(shown, "the probe shows its dialog");
        return shown;
    }

    RECT ScreenRect(int id) const {
        RECT rect{};
        GetWindowRect(GetDlgItem(dialog_, id), &rect);
        return rect;
    }

    std::string Status() const { return TextOf(GetDlgItem(dialog_, RVX_LINK_STATUS)); }

    ScreenImage Shoot(const std::string& name) {
        auto screen = CaptureScreen();
        if (!screen) {
            Expect(false, "the screen can be copied: " + screen.error().Describe());
            return {};
        }
        char number[8];
        std::snprintf(number, sizeof number, "%02d", ++shots_taken_);
        const std::string path = shots_ + "\\" + number + "-" + name + ".bmp";
        if (auto written = WriteBitmapFile(*screen, path); !written)
            std::printf("no screenshot %s: %s\n", path.c_str(), written.error().Describe().c_str());
        return std::move(*screen);
    }

    // The link's rectangle against its area, and the text as drawn against the rectangle.
    void CheckFit(const LinkUnderTest& link, const ScreenImage& screen) {
        const RECT area = ScreenRect(link.area);
        const RECT fitted = ScreenRect(link.control);
        const std::string name = std::string(link.name) + " link " + Describe(fitted) + " in its area " + Describe(area);
        Expect(fitted.left >= area.left && fitted.right <= area.right && fitted.top >= area.top && fitted.bottom <= area.bottom &&
                   fitted.right - fitted.left < area.right - area.left && fitted.bottom > fitted.top,
               name + ": shrunk inside its area");
        switch (link.horizontal) {
        case HorizontalAlignment::left: Expect(fitted.left == area.left, name + ": at the area's left edge"); break;
        case HorizontalAlignment::right: Expect(fitted.right == area.right, name + ": at the area's right edge"); break;
        case HorizontalAlignment::centre:
            Expect(std::abs((fitted.left + fitted.right) - (area.left + area.right)) <= 1, name + ": centred across the area");
            break;
        }
        if (link.centre_vertically)
            Expect(std::abs((fitted.top + fitted.bottom) - (area.top + area.bottom)) <= 1, name + ": centred down the area");
        else
            Expect(fitted.top == area.top, name + ": at the area's top");

        // The text and its underline in the link colour, filling the control's width and
        // nothing of the area outside it.
        const Ink inside = InkIn(screen, fitted);
        const Ink whole = InkIn(screen, area);
        const RECT& drawn = inside.link_extent;
        Expect(inside.link_pixels > 0 && inside.visited_pixels == 0, name + ": drawn in the link colour, unvisited");
        Expect(inside.link_pixels == whole.link_pixels, name + ": nothing drawn outside the control");
        Expect(inside.link_pixels > 0 && std::abs(drawn.left - fitted.left) <= kInkTolerance &&
                   std::abs(drawn.right - fitted.right) <= kInkTolerance,
               name + ": as wide as its text drawn " + Describe(drawn));
    }

    // A click at the link's centre, as the mouse gives it: the link must take the click (a
    // static passes it through to its dialog unless it notifies), and then gets the button's
    // messages, posted as the other GUI tests post their clicks.
    bool Click(const LinkUnderTest& link) {
        HWND control = GetDlgItem(dialog_, link.control);
        const RECT rect = ScreenRect(link.control);
        const POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        const std::string name = std::string("the ") + link.name + " link";
        // Within the dialog (the stand-in commands' windows of other programs may come and go
        // over it): the link is the dialog's control there, and it does not pass the click on.
        POINT in_dialog = point;
        ScreenToClient(dialog_, &in_dialog);
        const bool on_top = ChildWindowFromPointEx(dialog_, in_dialog, CWP_SKIPINVISIBLE) == control;
        DWORD_PTR hit = HTNOWHERE;
        SendMessageTimeoutA(control, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y), SMTO_ABORTIFHUNG, 5000, &hit);
        Expect(on_top && hit == HTCLIENT, name + " takes the clicks at its centre (hit test " + std::to_string(hit) + ")");
        // Clicks further apart than a double-click, so that each counts alone.
        Sleep(GetDoubleClickTime() + 100);
        POINT client = point;
        ScreenToClient(control, &client);
        const bool sent = PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y)) &&
                          PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        Expect(sent, name + " is clicked");
        return sent;
    }

    Ink InkOf(const LinkUnderTest& link) {
        auto screen = CaptureScreen();
        return screen ? InkIn(*screen, ScreenRect(link.control)) : Ink{};
    }

    void Visit(const LinkUnderTest& link, const std::string& counts, const std::string& shot) {
        if (!Click(link)) return;
        const std::string name = std::string(link.name) + " link";
        const bool posted = WaitFor([&] { return Status() == counts; });
        Expect(posted, name + ": its command posted (" + Status() + ")");
        // Redrawn on its own when it became visited: nothing else asks the dialog to paint.
        Expect(WaitFor([&] {
                   const Ink ink = InkOf(link);
                   return ink.visited_pixels > 0 && ink.link_pixels == 0;
               }),
               name + ": drawn in the visited colour");
        Sleep(kPaintMilliseconds);
        Expect(Status() == counts, name + ": its command posted once per click (" + Status() + ")");
        Shoot(shot);
    }

    void TakeBrowserAway() {
        const LONG set = RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, kNoBrowserType, DWORD(std::strlen(kNoBrowserType)));
        Expect(set == ERROR_SUCCESS, "the web browser's registration is taken away");
    }

    void FailToOpen(const LinkUnderTest& link, const std::string& counts) {
        if (!Click(link)) return;
        HWND box = nullptr;
        const bool shown = WaitFor([&] {
            for (const auto& window : FindWindows(process_.dwProcessId))
                if (window.kind == WindowKind::message_box) box = window.window;
            return box != nullptr;
        });
        Expect(shown, std::string("the ") + link.name + " link's failure is shown in a message box");
        if (!shown) return;
        Sleep(kPaintMilliseconds);
        Shoot("open-error");
        const platform::MessageRequest request = ReadMessageBox(box);
        Expect(request.text == kOpenErrorText, "the box says \"" + request.text + "\"");
        Expect(request.caption == kMessageCaption, "the box's caption is \"" + request.caption + "\"");
        // (Which icon it shows cannot be read across processes under Wine: each process has
        // its own handles of the system's icons.)
        Expect(request.buttons == platform::Buttons::ok, "the box has an OK button only");
        PressButton(box, IDOK);
        Expect(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }), "the box closes with OK");
        Sleep(kPaintMilliseconds);
        const Ink ink = InkOf(link);
        Expect(ink.link_pixels > 0 && ink.visited_pixels == 0, std::string("the ") + link.name + " link stays unvisited");
        Expect(Status() == counts, std::string("the ") + link.name + " link posts nothing (" + Status() + ")");
        Shoot("after-open-error");
    }

    void Close() {
        PressButton(dialog_, IDOK);
        const bool ended = WaitForSingleObject(process_.hProcess, kWaitMilliseconds) == WAIT_OBJECT_0;
        DWORD code = 1;
        if (ended) GetExitCodeProcess(process_.hProcess, &code);
        else TerminateProcess(process_.hProcess, 1);
        Expect(ended && code == 0, "the probe ends with exit code 0 (" + std::to_string(code) + ")");
    }

    std::string shots_;
    std::string probe_;
    PROCESS_INFORMATION process_ = {};
    HWND dialog_ = nullptr;
    int shots_taken_ = 0;
    int checks_ = 0;
    int failures_ = 0;
};

}  // namespace
}  // namespace rvx::gui_driver

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rvxlinkcheck SHOTS-FOLDER PROBE\n");
        return 2;
    }
    return rvx::gui_driver::LinkCheck(argv[1], argv[2]).Run();
}
