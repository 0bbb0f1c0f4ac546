// The special folders of the real machine.
#include "platform/win32/win32_pending.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_errors.h"

#include <objbase.h>
#include <shlobj.h>

namespace rvx::win32 {

namespace {

struct ShellFolderId {
    platform::SpecialFolder folder;
    int csidl;
    const char* name;
};

constexpr ShellFolderId kShellFolders[] = {
    {platform::SpecialFolder::programs, CSIDL_PROGRAMS, "the Programs menu"},
    {platform::SpecialFolder::common_programs, CSIDL_COMMON_PROGRAMS, "all users' Programs menu"},
    {platform::SpecialFolder::desktop, CSIDL_DESKTOPDIRECTORY, "the desktop folder"},
    {platform::SpecialFolder::common_desktop, CSIDL_COMMON_DESKTOPDIRECTORY, "all users' desktop folder"},
    {platform::SpecialFolder::start_menu, CSIDL_STARTMENU, "the Start menu"},
    {platform::SpecialFolder::common_start_menu, CSIDL_COMMON_STARTMENU, "all users' Start menu"},
    {platform::SpecialFolder::startup, CSIDL_STARTUP, "the Startup folder"},
    {platform::SpecialFolder::fonts, CSIDL_FONTS, "the Fonts folder"},
    {platform::SpecialFolder::personal, CSIDL_PERSONAL, "the documents folder"},
};

}  // namespace

// The ID-list route rather than SHGetSpecialFolderPath, which the first shells of the 95 family
// do not have.
platform::Result<std::string> Win32Shell::SpecialFolderPath(platform::SpecialFolder folder) {
    const ShellFolderId* id = nullptr;
    for (const auto& entry : kShellFolders)
        if (entry.folder == folder) id = &entry;
    if (!id) return platform::Fail(platform::Status::invalid_argument, "an unknown special folder");

    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, id->csidl, &list)) || !list)
        return platform::Fail(platform::Status::not_found, std::string(id->name) + " is not known to the shell");
    char buffer[MAX_PATH] = {};
    const BOOL converted = SHGetPathFromIDListA(list, buffer);
    CoTaskMemFree(list);
    if (!converted) return platform::Fail(platform::Status::not_found, std::string(id->name) + " is not a file-system folder");
    return std::string(buffer);
}

}  // namespace rvx::win32
