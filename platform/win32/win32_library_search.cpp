// Restricting the library search, and loading a library of the medium by its full path.
#include "platform/win32/win32_library_search.h"

namespace rvx::win32 {

namespace {

// The values of the newer loader flags, for headers that predate them.
constexpr DWORD kSearchDllLoadDir = 0x00000100;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchSystem32 = 0x00000800;    // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD kAlteredSearchPath = 0x00000008; // LOAD_WITH_ALTERED_SEARCH_PATH

using SetDefaultDllDirectoriesEntry = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryEntry = BOOL(WINAPI*)(LPCSTR);

template <class Entry>
Entry KernelEntry(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return nullptr;
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

// True once the search is restricted to the system folder for every later load.
bool g_default_directories = false;

}  // namespace

void RestrictLibrarySearch() {
    if (auto set_default = KernelEntry<SetDefaultDllDirectoriesEntry>("SetDefaultDllDirectories")) {
        if (set_default(kSearchSystem32)) {
            g_default_directories = true;
            return;
        }
    }
    if (auto set_directory = KernelEntry<SetDllDirectoryEntry>("SetDllDirectoryA")) (void)set_directory("");
}

HMODULE LoadLibraryByFullPath(const std::string& path) {
    // With the default directories set, the library's own folder is searched only for this
    // load; without them, the altered search order looks in the library's folder first.
    const DWORD flags = g_default_directories ? (kSearchDllLoadDir | kSearchSystem32) : kAlteredSearchPath;
    return LoadLibraryExA(path.c_str(), nullptr, flags);
}

}  // namespace rvx::win32
