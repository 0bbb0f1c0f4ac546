// The DirectX set-up library's entry points, called through pointers taken from the loaded library.
#include "platform/win32/win32_directx.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_library_search.h"

namespace rvx::win32 {

namespace {

// The library's calling convention is the system's own.
using GetVersionEntry = INT(WINAPI*)(DWORD* version, DWORD* revision);
using SetupEntry = INT(WINAPI*)(HWND owner, LPSTR source_folder, DWORD flags);

template <class Entry>
Entry EntryPoint(HMODULE library, const char* name) {
    // The usual detour through a generic function pointer keeps the compiler's cast warning quiet.
    return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

class Win32DirectXLibrary : public platform::DirectXLibrary {
public:
    Win32DirectXLibrary(HMODULE library, GetVersionEntry get_version, SetupEntry setup)
        : library_(library), get_version_(get_version), setup_(setup) {}
    ~Win32DirectXLibrary() override { FreeLibrary(library_); }
    Win32DirectXLibrary(const Win32DirectXLibrary&) = delete;
    Win32DirectXLibrary& operator=(const Win32DirectXLibrary&) = delete;

    platform::Result<platform::DirectXVersion> InstalledVersion() override {
        DWORD version = 0, revision = 0;
        if (!get_version_(&version, &revision))
            return platform::Fail(platform::Status::io_error, "the DirectX set-up library could not tell the installed version");
        return platform::DirectXVersion{static_cast<uint32_t>(version), static_cast<uint32_t>(revision)};
    }

    platform::Result<int32_t> Run(std::string_view source_folder, uint32_t flags) override {
        std::string folder(source_folder);
        return static_cast<int32_t>(setup_(nullptr, folder.data(), static_cast<DWORD>(flags)));
    }

private:
    HMODULE library_;
    GetVersionEntry get_version_;
    SetupEntry setup_;
};

}  // namespace

platform::Result<std::unique_ptr<platform::DirectXLibrary>> Win32DirectXSetup::Load(std::string_view library_path) {
    const std::string path(library_path);
    // By full path, so that no library of that name elsewhere on the search path is taken
    // instead, and with its dependencies looked for beside it rather than in the current folder.
    HMODULE library = LoadLibraryByFullPath(path);
    if (!library) return LastError(path);
    auto get_version = EntryPoint<GetVersionEntry>(library, "DirectXSetupGetVersion");
    auto setup = EntryPoint<SetupEntry>(library, "DirectXSetupA");
    // Looked up as the set-up's interface expects, but never called: the set-up shows its own progress.
    (void)GetProcAddress(library, "DirectXSetupSetCallback");
    if (!get_version || !setup) {
        FreeLibrary(library);
        return platform::Fail(platform::Status::not_found, path + " lacks the DirectX set-up entry points");
    }
    return std::unique_ptr<platform::DirectXLibrary>(std::make_unique<Win32DirectXLibrary>(library, get_version, setup));
}

}  // namespace rvx::win32
