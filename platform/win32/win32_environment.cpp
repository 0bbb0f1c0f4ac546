// The running system and process of the real machine.
#include "platform/win32/win32_environment.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_text_rules.h"

namespace rvx::win32 {
namespace {

// Calls one of the "fill this buffer, or tell me the size needed" functions until the text fits.
template <class Fill>
std::string FillText(Fill fill) {
    std::string text(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = fill(text.data(), DWORD(text.size()));
        if (length == 0) return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(size_t(length) + 1);
    }
    return {};
}

}  // namespace

platform::OsVersion QueryOsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    platform::OsVersion version;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    // The deprecated call is the one that also answers on the 95 family.
    const BOOL known = GetVersionExA(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    if (!known) return version;
    version.family = info.dwPlatformId == VER_PLATFORM_WIN32_NT ? platform::PlatformFamily::windows_nt
                                                                : platform::PlatformFamily::windows_95;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    // The 95 family keeps the version numbers in the high word of the build number.
    version.build = version.family == platform::PlatformFamily::windows_nt ? info.dwBuildNumber
                                                                           : (info.dwBuildNumber & 0xFFFF);
    return version;
}

std::string Win32Environment::WindowsFolder() {
    return FillText([](char* buffer, DWORD size) { return DWORD(GetWindowsDirectoryA(buffer, size)); });
}

std::string Win32Environment::SystemFolder() {
    return FillText([](char* buffer, DWORD size) { return DWORD(GetSystemDirectoryA(buffer, size)); });
}

std::string Win32Environment::TempFolder() {
    return FillText([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); });
}

std::optional<std::string> Win32Environment::Variable(std::string_view name) {
    const std::string key(name);
    SetLastError(ERROR_SUCCESS);
    const DWORD needed = GetEnvironmentVariableA(key.c_str(), nullptr, 0);
    if (needed == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::string value(needed, '\0');
    const DWORD length = GetEnvironmentVariableA(key.c_str(), value.data(), needed);
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    value.resize(length < needed ? length : 0);
    return value;
}

std::string Win32Environment::ProgramPath() {
    // GetModuleFileNameA truncates silently: a result that fills the buffer may be cut short.
    std::string path(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 6; ++attempt) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
    return {};
}

std::string Win32Environment::CommandLine() {
    const char* line = GetCommandLineA();
    auto is_file = [](const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    return ArgumentsAfterProgramName(line ? std::string_view(line) : std::string_view(), is_file);
}

platform::OsVersion Win32Environment::Version() { return QueryOsVersion(); }

}  // namespace rvx::win32
