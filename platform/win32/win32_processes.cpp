// Starting programs, waiting for one on a thread of its own, and commanding windows.
#include "platform/win32/win32_processes.h"

#include <atomic>
#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_errors.h"

namespace rvx::win32 {

namespace {

// Set by the waiting thread when the program has ended, polled by the main thread: one writer,
// one reader. Atomic, so that the main thread is sure to see the write.
std::atomic<bool> g_program_finished{false};

// The waiting thread's stack: it only waits, so a small one is enough.
constexpr SIZE_T kWaitingThreadStack = 20000;

// WM_NCXBUTTONDBLCLK, the last of the non-client mouse messages, which older headers lack.
constexpr UINT kLastNonClientMouseMessage = 0x00AD;

WORD ShowCommand(platform::ShowState show) {
    switch (show) {
    case platform::ShowState::normal: return SW_SHOWNORMAL;
    case platform::ShowState::hidden: return SW_HIDE;
    case platform::ShowState::minimized: return SW_SHOWMINIMIZED;
    case platform::ShowState::maximized: return SW_SHOWMAXIMIZED;
    }
    return SW_SHOWNORMAL;
}

// Creates the process; the caller owns both handles of info.
platform::Outcome CreateProgram(std::string_view command_line, std::string_view folder, platform::ShowState show,
                                PROCESS_INFORMATION& info) {
    // The system may write into the command line, so it gets a copy of its own.
    std::string line(command_line);
    const std::string current(folder);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = ShowCommand(show);
    info = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, current.empty() ? nullptr : current.c_str(),
                        &startup, &info))
        return LastError(line);
    return {};
}

DWORD WINAPI WaitForProgram(LPVOID process) {
    WaitForSingleObject(static_cast<HANDLE>(process), INFINITE);
    g_program_finished.store(true);
    return 0;
}

// Input and activation are taken off the queue and dropped while a program runs, so that clicks
// and keys meant for the installer's windows have no effect; everything else, painting
// included, is dispatched.
bool IsDroppedWhileWaiting(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= kLastNonClientMouseMessage) || message == WM_ACTIVATEAPP ||
           message == WM_ACTIVATE;
}

// Runs the queue until the program has ended. A quit message is posted again for the
// installer's own loop, and from then on the queue is left alone.
void PumpUntilFinished(HANDLE process, bool thread_waits, const std::function<void()>& keep_alive) {
    bool quit_seen = false;
    auto finished = [&] {
        return g_program_finished.load() || (!thread_waits && WaitForSingleObject(process, 0) == WAIT_OBJECT_0);
    };
    while (!finished()) {
        if (quit_seen) {
            Sleep(50);
            continue;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                quit_seen = true;
                break;
            }
            if (IsDroppedWhileWaiting(message.message)) continue;
            DispatchMessageA(&message);
        }
        if (keep_alive) keep_alive();
        // Sleeps until a message arrives or a short while has passed, then looks at the flag again.
        if (!quit_seen) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

}  // namespace

platform::Outcome Win32Processes::Start(const platform::StartRequest& request) {
    PROCESS_INFORMATION info;
    if (auto created = CreateProgram(request.command_line, request.folder, request.show, info); !created) return created;
    // Programs started without waiting are not followed.
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return {};
}

platform::Result<uint32_t> Win32Processes::StartAndWait(const platform::StartRequest& request,
                                                        const std::function<void()>& keep_alive) {
    PROCESS_INFORMATION info;
    if (auto created = CreateProgram(request.command_line, request.folder, request.show, info); !created)
        return created.error();
    CloseHandle(info.hThread);
    SetFocus(nullptr);

    // The handle CreateProcess gives has full access already; the waiting thread uses it.
    g_program_finished.store(false);
    DWORD thread_id = 0;
    HANDLE waiter = CreateThread(nullptr, kWaitingThreadStack, WaitForProgram, info.hProcess, 0, &thread_id);
    // Without a thread of its own the wait still works: the loop then asks the process itself.
    PumpUntilFinished(info.hProcess, waiter != nullptr, keep_alive);
    if (waiter) {
        WaitForSingleObject(waiter, INFINITE);
        CloseHandle(waiter);
    }

    ReleaseCapture();
    SetActiveWindow(nullptr);
    DWORD exit_code = 0;
    const BOOL known = GetExitCodeProcess(info.hProcess, &exit_code);
    CloseHandle(info.hProcess);
    if (!known) return LastError(request.command_line);
    return static_cast<uint32_t>(exit_code);
}

platform::Outcome Win32Processes::RunCommand(std::string_view command_line, platform::ShowState show) {
    // As the system's simple program start does: the current folder, the given show state, no wait.
    return Start(platform::StartRequest{std::string(command_line), {}, show});
}

std::optional<platform::WindowRef> Win32Processes::FindTopLevelWindow(std::string_view class_name, std::string_view title) {
    const std::string class_text(class_name), title_text(title);
    HWND window = FindWindowA(class_text.empty() ? nullptr : class_text.c_str(), title_text.c_str());
    if (!window) return std::nullopt;
    return platform::WindowRef{uint64_t(reinterpret_cast<uintptr_t>(window))};
}

platform::Outcome Win32Processes::SendCommand(platform::WindowRef window, uint32_t command_id) {
    HWND handle = reinterpret_cast<HWND>(uintptr_t(window.id));
    if (!IsWindow(handle)) return platform::Fail(platform::Status::not_found, "the window has closed");
    SendMessageA(handle, WM_COMMAND, WPARAM(command_id), 0);
    return {};
}

}  // namespace rvx::win32
