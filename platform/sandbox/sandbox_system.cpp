// The simulated machine's environment, texts, clock, special folders and program manager.
#include "platform/sandbox/sandbox_system.h"

#include "common/text/path_helpers.h"
#include "common/text/text.h"

namespace rvx::sandbox {

std::string SandboxEnvironment::TempFolder() { return path::AddTrailingBackslash(config_.temp_folder); }

std::optional<std::string> SandboxEnvironment::Variable(std::string_view name) {
    for (const auto& [key, value] : config_.environment)
        if (text::EqualsIgnoreCase(key, name)) return value;
    return std::nullopt;
}

namespace {

// Language libraries are a few dozen kilobytes; a far larger file is not taken for one.
constexpr size_t kMaxLibrarySize = size_t{16} << 20;

}  // namespace

platform::Outcome SandboxResources::UseLanguageLibrary(std::string_view full_path) {
    if (!platform::Exists(files_, full_path)) {
        (void)journal_.Write("LIBRARY", {Field("path", full_path), Word("result", "missing")});
        return platform::Fail(platform::Status::not_found, std::string(full_path));
    }
    // As on the system, a library that cannot be loaded leaves the built-in texts in use.
    auto image = platform::ReadWholeFile(files_, full_path);
    if (!image) {
        (void)journal_.Write("LIBRARY", {Field("path", full_path), Word("result", "unreadable"),
                                         Field("message", image.error().Describe())});
        return image.error();
    }
    std::optional<platform::LanguageLibrary> library;
    if (image.value().size() <= kMaxLibrarySize)
        library = platform::ReadLanguageLibrary(std::span(reinterpret_cast<const uint8_t*>(image.value().data()), image.value().size()));
    if (!library) {
        (void)journal_.Write("LIBRARY", {Field("path", full_path), Word("result", "damaged")});
        return platform::Fail(platform::Status::invalid_argument, "the language library " + std::string(full_path) + " is damaged");
    }
    library_ = std::move(library);
    dialogs_ = platform::TranslatedDialogs(built_in_dialogs_, library_->dialogs);
    (void)journal_.Write("LIBRARY", {Field("path", full_path), Word("result", "loaded"),
                                     Word("strings", std::to_string(library_->strings.size())),
                                     Word("dialogs", std::to_string(dialogs_.size()))});
    return {};
}

std::optional<std::string> SandboxResources::Text(int id) {
    if (library_) {
        if (auto found = library_->strings.find(id); found != library_->strings.end()) return found->second;
    }
    if (auto found = text::FindString(built_in_, id)) return std::string(*found);
    return std::nullopt;
}

const platform::DialogDescription& SandboxResources::Dialog(const platform::DialogDescription& built_in) {
    return dialogs_.Of(built_in);
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
