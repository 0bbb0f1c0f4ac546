// The services of the real machine that answer "not available yet", and the window lookup.
#include "platform/win32/win32_pending.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_errors.h"

namespace rvx::win32 {

platform::Result<std::string> Win32Shell::SpecialFolderPath(platform::SpecialFolder) {
    return platform::NotAvailableYet("special folders");
}

platform::Outcome Win32Shell::CreateShortcut(const platform::ShortcutSpec&) {
    return platform::NotAvailableYet("shortcut files");
}

platform::Outcome Win32Shell::OpenDocument(std::string_view, std::string_view, std::string_view, platform::ShowState) {
    return platform::NotAvailableYet("opening documents");
}

platform::Outcome Win32Processes::Start(const platform::StartRequest&) {
    return platform::NotAvailableYet("starting programs");
}

platform::Result<uint32_t> Win32Processes::StartAndWait(const platform::StartRequest&, const std::function<void()>&) {
    return platform::NotAvailableYet("starting programs");
}

platform::Outcome Win32Processes::RunCommand(std::string_view, platform::ShowState) {
    return platform::NotAvailableYet("running commands");
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

platform::Outcome Win32Power::Restart() { return platform::NotAvailableYet("restarting the computer"); }

platform::Result<int> Win32Fonts::AddFont(std::string_view) { return platform::NotAvailableYet("adding fonts"); }

platform::Outcome Win32ProgramManager::Execute(std::string_view) {
    return platform::NotAvailableYet("program manager commands");
}

platform::Result<platform::DirectXVersion> Win32DirectXSetup::InstalledVersion(std::string_view) {
    return platform::NotAvailableYet("the DirectX set-up library");
}

platform::Result<int32_t> Win32DirectXSetup::Run(std::string_view, std::string_view, uint32_t) {
    return platform::NotAvailableYet("the DirectX set-up library");
}

}  // namespace rvx::win32
