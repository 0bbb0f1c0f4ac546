// The uninstall entries of a simulated machine's registry, and how the system's list of
// removable software turns an entry's UninstallString into a program and its command line.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace rvx::host {

inline constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct UninstallEntry {
    std::string key;               // the subkey's name
    std::string display_name;      // empty when the value is missing
    std::string uninstall_string;  // empty when the value is missing
};

// Every subkey of the uninstall key, in the registry's order; none when the key is missing.
std::vector<UninstallEntry> ReadUninstallEntries(platform::Registry& registry);

// The entry whose key name or display name is name, ignoring case.
std::optional<UninstallEntry> FindUninstallEntry(const std::vector<UninstallEntry>& entries, std::string_view name);

struct UninstallCommand {
    std::string program;    // the file found, or the name looked for when none was
    bool found = false;
    std::string arguments;  // the rest of the text, unchanged
};

// A quoted program runs up to the closing quote; otherwise the shortest text up to a blank that
// names a file is the program, tried with ".exe" when it has no extension, as the system's
// process start does. find_file answers the full path of an existing file, or nothing.
UninstallCommand SplitUninstallString(std::string_view text,
                                      const std::function<std::optional<std::string>(const std::string&)>& find_file);

}  // namespace rvx::host
