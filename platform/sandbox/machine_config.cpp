// Reading and writing machine.ini.
#include "platform/sandbox/machine_config.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "common/text/field_splitter.h"
#include "common/text/text.h"
#include "platform/sandbox/ini_file.h"

namespace rvx::sandbox {

using platform::DriveType;
using platform::SpecialFolder;

namespace {

struct SpecialFolderName {
    SpecialFolder folder;
    const char* key;
};
constexpr std::array<SpecialFolderName, 9> kSpecialFolders{{
    {SpecialFolder::programs, "programs"},
    {SpecialFolder::common_programs, "common_programs"},
    {SpecialFolder::desktop, "desktop"},
    {SpecialFolder::common_desktop, "common_desktop"},
    {SpecialFolder::start_menu, "start_menu"},
    {SpecialFolder::common_start_menu, "common_start_menu"},
    {SpecialFolder::startup, "startup"},
    {SpecialFolder::fonts, "fonts"},
    {SpecialFolder::personal, "personal"},
}};

struct DriveTypeEntry {
    DriveType type;
    const char* name;
};
constexpr std::array<DriveTypeEntry, 6> kDriveTypes{{
    {DriveType::fixed, "fixed"},
    {DriveType::removable, "removable"},
    {DriveType::cdrom, "cdrom"},
    {DriveType::remote, "network"},
    {DriveType::ramdisk, "ramdisk"},
    {DriveType::unknown, "unknown"},
}};

bool ParseUnsigned(std::string_view text, uint64_t& out) {
    if (text.empty() || text.size() > 19) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    out = value;
    return true;
}

bool ParseYesNo(std::string_view text, bool& out) {
    if (text::EqualsIgnoreCase(text, "yes") || text == "1" || text::EqualsIgnoreCase(text, "true")) {
        out = true;
        return true;
    }
    if (text::EqualsIgnoreCase(text, "no") || text == "0" || text::EqualsIgnoreCase(text, "false")) {
        out = false;
        return true;
    }
    return false;
}

bool ParseVersion(std::string_view text, platform::OsVersion& version) {
    auto parts = text::SplitFields(text, ".");
    if (parts.size() != 3) return false;
    uint64_t numbers[3];
    for (int i = 0; i < 3; ++i)
        if (!ParseUnsigned(parts[static_cast<size_t>(i)], numbers[i]) || numbers[i] > 0xFFFFFFFFu) return false;
    version.major = static_cast<uint32_t>(numbers[0]);
    version.minor = static_cast<uint32_t>(numbers[1]);
    version.build = static_cast<uint32_t>(numbers[2]);
    return true;
}

// "0x0004000A" or "4000a": one to eight hexadecimal digits.
bool ParseHex32(std::string_view text, uint32_t& out) {
    if (text::StartsWithIgnoreCase(text, "0x")) text.remove_prefix(2);
    if (text.empty() || text.size() > 8) return false;
    uint32_t value = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        value = value * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : text::ToLower(c) - 'a' + 10);
    }
    out = value;
    return true;
}

bool ParseInt32(std::string_view text, int32_t& out) {
    const bool negative = !text.empty() && text[0] == '-';
    uint64_t magnitude = 0;
    if (!ParseUnsigned(negative ? text.substr(1) : text, magnitude) || magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu))
        return false;
    out = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}

std::string FormatHex32(uint32_t value) {
    char buffer[11];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
    return buffer;
}

bool IsAbsoluteWindowsPath(std::string_view path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
}

}  // namespace

const char* SpecialFolderKey(SpecialFolder folder) {
    for (const auto& entry : kSpecialFolders)
        if (entry.folder == folder) return entry.key;
    return "unknown";
}

const char* DriveTypeName(DriveType type) {
    for (const auto& entry : kDriveTypes)
        if (entry.type == type) return entry.name;
    return "unknown";
}

MachineConfig MachineConfig::Default() {
    MachineConfig config;
    config.version = platform::OsVersion{platform::PlatformFamily::windows_nt, 5, 1, 2600};
    config.drives.push_back(DriveConfig{'C', DriveType::fixed, 20ull * 1024 * 1024, {}, false});
    config.environment = {{"SystemRoot", "C:\\WINDOWS"},
                          {"windir", "C:\\WINDOWS"},
                          {"TEMP", "C:\\WINDOWS\\TEMP"},
                          {"TMP", "C:\\WINDOWS\\TEMP"},
                          {"USERNAME", "User"},
                          {"ProgramFiles", "C:\\Program Files"},
                          {"CommonProgramFiles", "C:\\Program Files\\Common Files"}};
    const std::string all_users = "C:\\Documents and Settings\\All Users";
    const std::string user = "C:\\Documents and Settings\\User";
    config.special_folders = {
        {SpecialFolder::programs, user + "\\Start Menu\\Programs"},
        {SpecialFolder::common_programs, all_users + "\\Start Menu\\Programs"},
        {SpecialFolder::desktop, user + "\\Desktop"},
        {SpecialFolder::common_desktop, all_users + "\\Desktop"},
        {SpecialFolder::start_menu, user + "\\Start Menu"},
        {SpecialFolder::common_start_menu, all_users + "\\Start Menu"},
        {SpecialFolder::startup, user + "\\Start Menu\\Programs\\Startup"},
        {SpecialFolder::fonts, "C:\\WINDOWS\\Fonts"},
        {SpecialFolder::personal, user + "\\My Documents"},
    };
    return config;
}

const DriveConfig* MachineConfig::Drive(char letter) const {
    for (const auto& drive : drives)
        if (drive.letter == text::ToUpper(letter)) return &drive;
    return nullptr;
}

DriveConfig* MachineConfig::Drive(char letter) {
    for (auto& drive : drives)
        if (drive.letter == text::ToUpper(letter)) return &drive;
    return nullptr;
}

platform::Result<MachineConfig> ParseMachineConfig(std::string_view text, std::string_view file_name) {
    auto sections = ParseIni(text, file_name);
    if (!sections) return sections.error();

    MachineConfig config = MachineConfig::Default();
    config.drives.clear();
    config.environment.clear();
    std::string error;
    int error_line = 0;
    auto fail = [&](int line, std::string why) {
        if (error.empty()) {
            error = std::move(why);
            error_line = line;
        }
    };

    for (const auto& section : sections.value()) {
        for (const auto& line : section.lines) {
            const std::string key = text::ToLower(line.key);
            if (section.name == "system") {
                if (key == "family") {
                    if (text::EqualsIgnoreCase(line.value, "nt"))
                        config.version.family = platform::PlatformFamily::windows_nt;
                    else if (line.value == "95")
                        config.version.family = platform::PlatformFamily::windows_95;
                    else
                        fail(line.number, "family must be nt or 95");
                } else if (key == "version") {
                    if (!ParseVersion(line.value, config.version)) fail(line.number, "version must be major.minor.build");
                } else if (key == "windows" || key == "system" || key == "temp") {
                    if (!IsAbsoluteWindowsPath(line.value)) fail(line.number, key + " must be a full path such as C:\\WINDOWS");
                    (key == "windows" ? config.windows_folder : key == "system" ? config.system_folder : config.temp_folder) =
                        line.value;
                } else if (key == "administrator") {
                    if (!ParseYesNo(line.value, config.administrator)) fail(line.number, "administrator must be yes or no");
                } else {
                    fail(line.number, "unknown key '" + line.key + "' in [system]");
                }
            } else if (section.name == "drives") {
                auto fields = text::SplitFields(line.value, ",");
                DriveConfig drive;
                if (line.key.size() != 1 || !std::isalpha(static_cast<unsigned char>(line.key[0]))) {
                    fail(line.number, "a drive is named by one letter");
                    continue;
                }
                drive.letter = text::ToUpper(line.key[0]);
                if (fields.size() < 2 || fields.size() > 4) {
                    fail(line.number, "a drive is: LETTER=type, size kilobytes[, host folder[, readonly]]");
                    continue;
                }
                bool known = false;
                for (const auto& entry : kDriveTypes)
                    if (text::EqualsIgnoreCase(fields[0], entry.name)) drive.type = entry.type, known = true;
                if (!known) fail(line.number, "unknown drive type '" + fields[0] + "'");
                if (!ParseUnsigned(fields[1], drive.size_kilobytes)) fail(line.number, "size kilobytes must be a number");
                if (fields.size() >= 3) drive.host_folder = fields[2];
                if (drive.host_folder.find('"') != std::string::npos) fail(line.number, "a host folder cannot hold a double quote");
                if (fields.size() == 4) {
                    if (text::EqualsIgnoreCase(fields[3], "readonly")) drive.read_only = true;
                    else if (!text::EqualsIgnoreCase(fields[3], "readwrite")) fail(line.number, "expected readonly or readwrite");
                }
                if (config.Drive(drive.letter)) fail(line.number, std::string("drive ") + drive.letter + ": is listed twice");
                config.drives.push_back(drive);
            } else if (section.name == "environment") {
                config.environment.emplace_back(line.key, line.value);
            } else if (section.name == "folders") {
                bool known = false;
                for (const auto& entry : kSpecialFolders) {
                    if (key == entry.key) {
                        known = true;
                        if (line.value.empty()) config.special_folders.erase(entry.folder);
                        else config.special_folders[entry.folder] = line.value;
                    }
                }
                if (!known) fail(line.number, "unknown special folder '" + line.key + "'");
            } else if (section.name == "in-use") {
                config.files_in_use.push_back(line.has_value ? line.key + "=" + line.value : line.key);
            } else if (section.name == "denied") {
                config.denied_paths.push_back(line.has_value ? line.key + "=" + line.value : line.key);
            } else if (section.name == "windows") {
                // Only the first comma separates: a title may hold commas of its own.
                const std::string whole = line.has_value ? line.key + "=" + line.value : line.key;
                const size_t comma = whole.find(',');
                if (comma == std::string::npos) fail(line.number, "a window is: class, title");
                else config.windows.push_back(WindowConfig{std::string(text::TrimBlanks(std::string_view(whole).substr(0, comma))),
                                                           std::string(text::TrimBlanks(std::string_view(whole).substr(comma + 1)))});
            } else if (section.name == "directx") {
                DirectXConfig& directx = config.directx;
                if (key == "loads") {
                    if (!ParseYesNo(line.value, directx.loads)) fail(line.number, "loads must be yes or no");
                } else if (key == "version" || key == "revision") {
                    if (!ParseHex32(line.value, key == "version" ? directx.version : directx.revision))
                        fail(line.number, key + " must be a hexadecimal number of at most eight digits, such as 0x00040009");
                } else if (key == "result") {
                    if (!ParseInt32(line.value, directx.setup_result)) fail(line.number, "result must be a whole number, such as -10");
                } else {
                    fail(line.number, "unknown key '" + line.key + "' in [directx]");
                }
            } else if (section.name == "display") {
                DisplayConfig& display = config.display;
                uint64_t number = 0;
                const bool is_number = ParseUnsigned(line.value, number);
                if (key == "width" || key == "height") {
                    if (!is_number || number == 0 || number > uint64_t(kMaxDisplaySide))
                        fail(line.number, key + " must be a number of pixels from 1 to " + std::to_string(kMaxDisplaySide));
                    else (key == "width" ? display.width : display.height) = int(number);
                } else if (key == "colours") {
                    if (!is_number || number < 2 || number > 0xFFFFFFFFu)
                        fail(line.number, "colours must be a number of colours from 2 up, such as 256 or 16777216");
                    else display.colours = uint32_t(number);
                } else if (key == "pictures") {
                    if (!is_number || number > uint64_t(kMaxScreenPictures))
                        fail(line.number, "pictures must be a number of pictures from 0 (none) to " + std::to_string(kMaxScreenPictures));
                    else display.pictures = int(number);
                } else {
                    fail(line.number, "unknown key '" + line.key + "' in [display]");
                }
            } else {
                fail(section.number, "unknown section [" + section.name + "]");
                break;
            }
        }
    }
    if (error.empty() && !config.Drive('C')) fail(0, "the machine has no drive C:");
    if (!error.empty()) {
        std::string where = std::string(file_name) + (error_line ? " line " + std::to_string(error_line) : "");
        return platform::Fail(platform::Status::invalid_argument, where + ": " + error);
    }
    return config;
}

std::string FormatDriveLine(const DriveConfig& drive) {
    std::string line = std::string(1, drive.letter) + "=" + DriveTypeName(drive.type) + ", " + std::to_string(drive.size_kilobytes);
    if (!drive.host_folder.empty()) line += ", \"" + drive.host_folder + "\"" + (drive.read_only ? ", readonly" : "");
    return line;
}

std::string DriveHostFolder(const std::string& machine_folder, const DriveConfig& drive) {
    if (!drive.host_folder.empty()) return drive.host_folder;
    // Every path the machine resolves starts here: made in one piece.
    constexpr std::string_view kDrives = "/drives/";
    std::string folder;
    folder.reserve(machine_folder.size() + kDrives.size() + 1);
    folder.append(machine_folder).append(kDrives).push_back(drive.letter);
    return folder;
}

std::string FormatMachineConfig(const MachineConfig& config) {
    std::string out;
    out += "; A simulated Windows machine. The keys are described in docs/simulated-machine.md.\n";
    out += "[system]\n";
    out += std::string("family=") + (config.version.family == platform::PlatformFamily::windows_nt ? "nt" : "95") + "\n";
    out += "version=" + std::to_string(config.version.major) + "." + std::to_string(config.version.minor) + "." +
           std::to_string(config.version.build) + "\n";
    out += "windows=" + config.windows_folder + "\n";
    out += "system=" + config.system_folder + "\n";
    out += "temp=" + config.temp_folder + "\n";
    out += std::string("administrator=") + (config.administrator ? "yes" : "no") + "\n";
    out += "\n[drives]\n; LETTER=type, free kilobytes[, host folder[, readonly]]\n";
    for (const auto& drive : config.drives) out += FormatDriveLine(drive) + "\n";
    out += "\n[environment]\n";
    for (const auto& [name, value] : config.environment) out += name + "=" + value + "\n";
    out += "\n[folders]\n";
    // A folder the machine lacks is written with an empty value, so it stays missing when read back.
    for (const auto& entry : kSpecialFolders) {
        auto found = config.special_folders.find(entry.folder);
        out += std::string(entry.key) + "=" + (found == config.special_folders.end() ? std::string() : found->second) + "\n";
    }
    out += "\n[in-use]\n; files that cannot be deleted or opened for writing, one per line\n";
    for (const auto& path : config.files_in_use) out += path + "\n";
    out += "\n[denied]\n; folders and files where creating, writing and deleting is refused\n";
    for (const auto& path : config.denied_paths) out += path + "\n";
    out += "\n[windows]\n; top-level windows: class, title\n";
    for (const auto& window : config.windows) out += window.class_name + ", " + window.title + "\n";
    out += "\n[directx]\n; the DirectX set-up library of a medium: whether it loads, the installed version and revision\n"
           "; it reports (hexadecimal), and what its set-up returns\n";
    out += std::string("loads=") + (config.directx.loads ? "yes" : "no") + "\n";
    out += "version=" + FormatHex32(config.directx.version) + "\n";
    out += "revision=" + FormatHex32(config.directx.revision) + "\n";
    out += "result=" + std::to_string(config.directx.setup_result) + "\n";
    out += "\n[display]\n; the screen: its size in pixels and how many colours it shows (256 or fewer: a palette)\n";
    out += "width=" + std::to_string(config.display.width) + "\n";
    out += "height=" + std::to_string(config.display.height) + "\n";
    out += "colours=" + std::to_string(config.display.colours) + "\n";
    out += "; the most pictures of the screen one program run writes into screens/ (0: none)\n";
    out += "pictures=" + std::to_string(config.display.pictures) + "\n";
    return out;
}

}  // namespace rvx::sandbox
