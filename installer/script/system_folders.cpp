// Folders of the running system.
#include "installer/script/system_folders.h"

namespace rvx::installer {

namespace {
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
}

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

}  // namespace rvx::installer
