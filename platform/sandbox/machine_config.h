// The description of a simulated machine, kept in machine.ini: Windows family and version,
// system folders, drives, environment variables, rights, files in use, denied paths, windows,
// special folders, what a DirectX set-up library answers and the screen. docs/simulated-machine.md
// documents every key.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/result.h"
#include "platform/shell.h"

namespace rvx::sandbox {

struct DriveConfig {
    char letter = 'C';
    platform::DriveType type = platform::DriveType::fixed;
    // The drive's size, in kilobytes of 1,024 bytes; what is free is the size less what the
    // drive's folder holds (drive_space.h).
    uint64_t size_kilobytes = 0;
    std::string host_folder;      // empty: drives/<LETTER>/ inside the machine folder
    bool read_only = false;
};

struct WindowConfig {
    std::string class_name;
    std::string title;
};

// What the DirectX set-up library of an installation medium answers on this machine.
struct DirectXConfig {
    bool loads = true;          // a library file that exists can be loaded (no: a damaged library)
    uint32_t version = 0;       // the installed DirectX version and revision the library reports
    uint32_t revision = 0;
    int32_t setup_result = 0;   // what running the set-up returns
};

// The screen: its size in pixels and how many colours it shows (256 and fewer: a palette display).
struct DisplayConfig {
    int width = 1024;
    int height = 768;
    uint32_t colours = 16777216;
    // The most pictures of the screen that one program run writes (see screen_pictures.h); 0
    // writes none.
    int pictures = 50;
};
inline constexpr int kMaxDisplaySide = 8192;
inline constexpr int kMaxScreenPictures = 100000;

struct MachineConfig {
    platform::OsVersion version;
    std::string windows_folder = "C:\\WINDOWS";
    std::string system_folder = "C:\\WINDOWS\\system32";
    std::string temp_folder = "C:\\WINDOWS\\TEMP\\";
    bool administrator = true;
    std::vector<DriveConfig> drives;
    std::vector<std::pair<std::string, std::string>> environment;
    std::map<platform::SpecialFolder, std::string> special_folders;
    std::vector<std::string> files_in_use;
    std::vector<std::string> denied_paths;
    std::vector<WindowConfig> windows;
    DirectXConfig directx;
    DisplayConfig display;

    // The sensible default machine: an NT system with C: (fixed) and the usual folders.
    static MachineConfig Default();

    const DriveConfig* Drive(char letter) const;
    DriveConfig* Drive(char letter);
};

platform::Result<MachineConfig> ParseMachineConfig(std::string_view text, std::string_view file_name);
std::string FormatMachineConfig(const MachineConfig& config);
// One line of [drives], as FormatMachineConfig writes it ("C=fixed, 20971520").
std::string FormatDriveLine(const DriveConfig& drive);
// The host folder that holds the drive's files: its own host folder, else drives/<LETTER>/
// inside the machine folder.
std::string DriveHostFolder(const std::string& machine_folder, const DriveConfig& drive);

const char* SpecialFolderKey(platform::SpecialFolder folder);
const char* DriveTypeName(platform::DriveType type);

}  // namespace rvx::sandbox
