// rvxhook.dll: the GUI driver's window hook inside the program under test (see shot_hold.h).
// It acts only when the driver that placed it has made its events, so a stray load does nothing.
#include "platform/win32/dialog_marks.h"
#include "platform/win32/gui_driver/shot_hold.h"
#include "platform/win32/win32_api.h"

namespace rvx::gui_driver {
namespace {

// A message number no window of the programs uses: peeking for it finds nothing, which makes
// the system hand the windows' finished painting to the screen, as an idle program's does.
constexpr UINT kNothingPending = WM_APP + 0x3FF0;

void HoldForShot(HWND window) {
    const DWORD process = GetCurrentProcessId();
    HANDLE request = OpenEventA(EVENT_MODIFY_STATE, FALSE, ShotRequestName(process).c_str());
    HANDLE taken = OpenEventA(SYNCHRONIZE, FALSE, ShotTakenName(process).c_str());
    if (request && taken) {
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        MSG message;
        PeekMessageA(&message, window, kNothingPending, kNothingPending, PM_NOREMOVE);
        SetEvent(request);
        WaitForSingleObject(taken, kHoldLimitMilliseconds);
    }
    if (request) CloseHandle(request);
    if (taken) CloseHandle(taken);
}

}  // namespace
}  // namespace rvx::gui_driver

extern "C" __declspec(dllexport) LRESULT CALLBACK RvxShotHook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_DESTROYWND) {
        HWND window = reinterpret_cast<HWND>(wparam);
        if (GetPropA(window, rvx::win32::kModelessWindowProperty)) rvx::gui_driver::HoldForShot(window);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
