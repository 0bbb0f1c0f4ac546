// The contents of a new simulated machine.
#include "platform/sandbox/default_machine.h"

#include <algorithm>

#include "common/text/path_helpers.h"
#include "common/text/field_splitter.h"
#include "common/text/text.h"

namespace rvx::sandbox {

using platform::RegValue;
using platform::RootKey;
using platform::SpecialFolder;

namespace {

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
// Both in the Windows folder, which every machine has and no program removes.
std::string Browser(const MachineConfig& config) { return config.windows_folder + "\\browser.exe"; }
std::string TextEditor(const MachineConfig& config) { return config.windows_folder + "\\notepad.exe"; }

std::string FolderOr(const MachineConfig& config, SpecialFolder folder) {
    auto found = config.special_folders.find(folder);
    return found == config.special_folders.end() ? std::string() : found->second;
}

void AddWithParents(std::vector<std::string>& folders, const std::string& path) {
    if (path.size() < 4 || path[1] != ':') return;
    std::string partial = path.substr(0, 2);
    for (const auto& component : text::SplitFields(path.substr(3), "\\")) {
        if (component.empty()) continue;
        partial += "\\" + component;
        bool known = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) { return text::EqualsIgnoreCase(f, partial); });
        if (!known) folders.push_back(partial);
    }
}

}  // namespace

std::vector<std::string> DefaultFolders(const MachineConfig& config) {
    std::vector<std::string> folders;
    AddWithParents(folders, config.windows_folder);
    AddWithParents(folders, config.system_folder);
    AddWithParents(folders, path::RemoveTrailingBackslash(config.temp_folder));
    AddWithParents(folders, config.windows_folder + "\\Fonts");
    AddWithParents(folders, "C:\\Program Files\\Common Files");
    for (const auto& [kind, path] : config.special_folders) AddWithParents(folders, path);
    return folders;
}

std::vector<std::string> DefaultPrograms(const MachineConfig& config) { return {Browser(config), TextEditor(config)}; }

platform::Outcome WriteDefaultRegistry(platform::Registry& registry, const MachineConfig& config) {
    const bool nt = config.version.family == platform::PlatformFamily::windows_nt;
    const std::string version = std::to_string(config.version.major) + "." + std::to_string(config.version.minor);
    struct Entry {
        RootKey root;
        std::string key;
        std::string name;
        RegValue value;
    };
    std::vector<Entry> entries = {
        {RootKey::local_machine, kCurrentVersion, "ProgramFilesDir", RegValue::Text("C:\\Program Files")},
        {RootKey::local_machine, kCurrentVersion, "CommonFilesDir", RegValue::Text("C:\\Program Files\\Common Files")},
        {RootKey::local_machine, kCurrentVersion, "ProgramFilesPath", RegValue::Text("C:\\Program Files", platform::value_type::expand_string)},
        {RootKey::local_machine, kCurrentVersion, "SystemRoot", RegValue::Text(config.windows_folder)},
        {RootKey::local_machine, kCurrentVersion, "VersionNumber", RegValue::Text(version)},
    };
    // The file types of web pages and text files and the programs that open them.
    const std::string browser_command = "\"" + Browser(config) + "\" \"%1\"";
    for (const char* type : {".htm", ".html"}) entries.push_back({RootKey::classes_root, type, "", RegValue::Text("htmlfile")});
    entries.push_back({RootKey::classes_root, "htmlfile\\shell\\open\\command", "", RegValue::Text(browser_command)});
    entries.push_back({RootKey::classes_root, ".txt", "", RegValue::Text("txtfile")});
    entries.push_back({RootKey::classes_root, "txtfile\\shell\\open\\command", "", RegValue::Text(TextEditor(config) + " %1")});
    if (nt) {
        entries.push_back({RootKey::local_machine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion", RegValue::Text(version)});
        entries.push_back({RootKey::local_machine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentBuildNumber",
                           RegValue::Text(std::to_string(config.version.build))});
        entries.push_back({RootKey::local_machine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                           RegValue::Text(config.windows_folder)});
    }
    const std::string shell_folders = std::string(kCurrentVersion) + "\\Explorer\\Shell Folders";
    const std::pair<SpecialFolder, const char*> common_names[] = {{SpecialFolder::common_programs, "Common Programs"},
                                                                  {SpecialFolder::common_desktop, "Common Desktop"},
                                                                  {SpecialFolder::common_start_menu, "Common Start Menu"}};
    for (const auto& [folder, name] : common_names)
        if (auto path = FolderOr(config, folder); !path.empty())
            entries.push_back({RootKey::local_machine, shell_folders, name, RegValue::Text(path)});
    const std::pair<SpecialFolder, const char*> user_names[] = {{SpecialFolder::programs, "Programs"},
                                                                {SpecialFolder::desktop, "Desktop"},
                                                                {SpecialFolder::start_menu, "Start Menu"},
                                                                {SpecialFolder::startup, "Startup"},
                                                                {SpecialFolder::fonts, "Fonts"},
                                                                {SpecialFolder::personal, "Personal"}};
    for (const auto& [folder, name] : user_names)
        if (auto path = FolderOr(config, folder); !path.empty())
            entries.push_back({RootKey::current_user, shell_folders, name, RegValue::Text(path)});

    for (const auto& entry : entries)
        if (auto written = registry.WriteValue(entry.root, entry.key, entry.name, entry.value); !written) return written;
    // Keys every system has, empty on a fresh one.
    const std::string fonts_key = nt ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts" : std::string(kCurrentVersion) + "\\Fonts";
    for (const std::string& key : {std::string(kCurrentVersion) + "\\Uninstall", std::string(kCurrentVersion) + "\\SharedDLLs",
                                   std::string(kCurrentVersion) + "\\RunOnce", fonts_key,
                                   std::string("SYSTEM\\CurrentControlSet\\Services")})
        if (auto created = registry.CreateKey(RootKey::local_machine, key); !created) return created;
    return {};
}

}  // namespace rvx::sandbox
