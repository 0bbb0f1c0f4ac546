// SHBrowseForFolder with the current folder preselected.
#include "platform/win32/win32_folder_browser.h"

#include <shlobj.h>

namespace rvx::win32 {

namespace {

int CALLBACK PreselectFolder(HWND browser, UINT message, LPARAM, LPARAM initial) {
    if (message == BFFM_INITIALIZED && initial) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, initial);
    return 0;
}

}  // namespace

std::optional<std::string> BrowseForFolderWithShell(HWND owner, std::string_view title, std::string_view initial) {
    const std::string title_text(title);
    const std::string initial_folder(initial);
    char display_name[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = display_name;
    info.lpszTitle = title_text.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = PreselectFolder;
    info.lParam = initial_folder.empty() ? 0 : LPARAM(initial_folder.c_str());
    // The browser is a COM client; the shortcuts stage may have initialised COM already.
    const HRESULT com = CoInitialize(nullptr);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    std::optional<std::string> folder;
    if (chosen) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(chosen, path)) folder = std::string(path);
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return folder;
}

}  // namespace rvx::win32
