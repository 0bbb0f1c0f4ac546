// Folders of the running system.
#include "installer/script/system_folders.h"

#include "common/system/common_files.h"

namespace rvx::installer {

namespace {
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
// The all-users folder when the shell knows it, else the user's own.
std::optional<std::string> CommonOrUserFolder(platform::Platform& platform, platform::SpecialFolder common,
                                              platform::SpecialFolder user) {
    if (auto path = platform.shell.SpecialFolderPath(common); path.ok()) return path.value();
    if (auto path = platform.shell.SpecialFolderPath(user); path.ok()) return path.value();
    return std::nullopt;
}

}  // namespace

std::string ProgramFilesFolder(platform::Platform& platform) {
    std::string windows = platform.environment.WindowsFolder();
    auto value = platform.registry.ReadValue(platform::RootKey::local_machine, kCurrentVersionKey, "ProgramFilesDir");
    if (value.ok()) {
        if (auto text = value->AsText()) return *text;
    }
    std::string fallback = "C:\\Program Files";
    if (!windows.empty()) fallback[0] = windows[0];
    if (!platform::IsFolder(platform.files, fallback)) return "C:";
    return fallback;
}

std::string RootDrive(platform::Platform& platform) { return platform.environment.WindowsFolder().substr(0, 2); }

std::string CommonFilesFolder(platform::Platform& platform) {
    return system::CommonFilesFolder(platform.registry, platform.environment.WindowsFolder());
}

std::string FontsFolder(platform::Environment& environment, platform::FileSystem& files) {
    std::string fonts = environment.WindowsFolder() + "\\Fonts";
    if (platform::IsFolder(files, fonts)) return fonts;
    return environment.SystemFolder();
}

std::string FontsFolder(platform::Platform& platform) { return FontsFolder(platform.environment, platform.files); }

std::optional<std::string> ProgramsMenuFolder(platform::Platform& platform) {
    return CommonOrUserFolder(platform, platform::SpecialFolder::common_programs, platform::SpecialFolder::programs);
}

std::optional<std::string> DesktopFolder(platform::Platform& platform) {
    return CommonOrUserFolder(platform, platform::SpecialFolder::common_desktop, platform::SpecialFolder::desktop);
}

bool IsNtFamily(platform::Platform& platform) {
    return platform.environment.Version().family == platform::PlatformFamily::windows_nt;
}

bool IsWindows95(platform::Platform& platform) {
    const platform::OsVersion version = platform.environment.Version();
    return version.family == platform::PlatformFamily::windows_95 && version.minor == 0;
}

}  // namespace rvx::installer
