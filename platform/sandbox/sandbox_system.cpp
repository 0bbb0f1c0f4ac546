// The simulated machine's environment, texts, clock, special folders and program manager.
#include "platform/sandbox/sandbox_system.h"

#include "common/text/path_helpers.h"
#include "common/text/text.h"

namespace rvx::sandbox {

using platform::NotAvailableYet;

std::string SandboxEnvironment::TempFolder() { return path::AddTrailingBackslash(config_.temp_folder); }

std::optional<std::string> SandboxEnvironment::Variable(std::string_view name) {
    for (const auto& [key, value] : config_.environment)
        if (text::EqualsIgnoreCase(key, name)) return value;
    return std::nullopt;
}

platform::Outcome SandboxResources::UseLanguageLibrary(std::string_view full_path) {
    if (!platform::Exists(files_, full_path)) {
        (void)journal_.Write("LIBRARY", {Field("path", full_path), Word("result", "missing")});
        return platform::Fail(platform::Status::not_found, std::string(full_path));
    }
    // The file is there, but reading texts out of a library's resources comes later: the
    // built-in texts stay in use, as they do when a library cannot be loaded.
    (void)journal_.Write("LIBRARY", {Field("path", full_path), Word("result", "not-available-yet")});
    return NotAvailableYet("reading texts from a language library");
}

std::optional<std::string> SandboxResources::Text(int id) {
    if (auto found = text::FindString(built_in_, id)) return std::string(*found);
    return std::nullopt;
}

platform::Result<std::string> SandboxShell::SpecialFolderPath(platform::SpecialFolder folder) {
    auto found = config_.special_folders.find(folder);
    if (found == config_.special_folders.end() || found->second.empty())
        return platform::Fail(platform::Status::not_found,
                              std::string("special folder ") + SpecialFolderKey(folder) + " (not in machine.ini's [folders])");
    return found->second;
}

platform::Outcome SandboxProgramManager::Execute(std::string_view command) {
    return journal_.Write("PROGMAN", {Field("command", command), Word("result", "ok")});
}

}  // namespace rvx::sandbox
