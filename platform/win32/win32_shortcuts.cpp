// Shortcut files on the real system, through the shell's link object: the path, description and
// working folder (and arguments, icon and window state when asked for) are set on it and it saves
// itself in the link's file. Which failures the user hears of is the installer's decision: a
// link object the system cannot give is "unsupported", a save that failed carries its reason.
#include <string>

#include "platform/shortcut_path.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_pending.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace rvx::win32 {

namespace {

// COM for the duration of one call; only a successful start is ended again.
class ComScope {
public:
    ComScope() : started_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (started_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool started_;
};

template <class Interface>
class Released {
public:
    Interface* pointer = nullptr;
    Released() = default;
    ~Released() {
        if (pointer) pointer->Release();
    }
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;
};

int ShowCommand(platform::ShowState show) {
    switch (show) {
    case platform::ShowState::maximized: return SW_SHOWMAXIMIZED;
    case platform::ShowState::minimized: return SW_SHOWMINNOACTIVE;
    case platform::ShowState::normal:
    case platform::ShowState::hidden: break;  // a shortcut cannot start a program hidden
    }
    return SW_SHOWNORMAL;
}

// A failed save, never read as "the link object is missing".
platform::Error SaveError(HRESULT result, const std::string& path) {
    platform::Error error = HRESULT_FACILITY(result) == FACILITY_WIN32
                                ? ErrorFromCode(HRESULT_CODE(result), path)
                                : platform::Fail(platform::Status::io_error, path + " (the shell could not save it)");
    if (error.status == platform::Status::unsupported || error.status == platform::Status::not_available_yet)
        error.status = platform::Status::io_error;
    return error;
}

}  // namespace

platform::Outcome Win32Shell::CreateShortcut(const platform::ShortcutSpec& shortcut) {
    if (auto checked = platform::CheckShortcutPath(shortcut.link_path); !checked) return checked;

    ComScope com;
    Released<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.pointer))) ||
        !link.pointer)
        return platform::Fail(platform::Status::unsupported, "the shell's link object is not available");

    link.pointer->SetPath(shortcut.target.c_str());
    link.pointer->SetDescription(shortcut.description.c_str());
    link.pointer->SetWorkingDirectory(shortcut.working_folder.c_str());
    if (!shortcut.arguments.empty()) link.pointer->SetArguments(shortcut.arguments.c_str());
    if (!shortcut.icon_path.empty()) link.pointer->SetIconLocation(shortcut.icon_path.c_str(), shortcut.icon_index);
    if (shortcut.show != platform::ShowState::normal) link.pointer->SetShowCmd(ShowCommand(shortcut.show));

    Released<IPersistFile> file;
    if (FAILED(link.pointer->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.pointer))) || !file.pointer)
        return platform::Fail(platform::Status::unsupported, "the shell's link object cannot save itself");

    // The save call takes the path in wide characters, in a buffer of the system's path length.
    WCHAR wide[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, shortcut.link_path.c_str(), -1, wide, MAX_PATH) == 0)
        return platform::Fail(platform::Status::invalid_argument, shortcut.link_path + " (too long for the shell)");
    const HRESULT saved = file.pointer->Save(wide, TRUE);
    if (FAILED(saved)) return SaveError(saved, shortcut.link_path);
    return {};
}

}  // namespace rvx::win32
