// Texts of the real program. Language libraries are loaded as data only: no code of theirs runs.
#include "platform/win32/win32_resources.h"

#include <map>

#include "platform/language_library.h"

#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_text_rules.h"

namespace rvx::win32 {
namespace {

std::optional<std::string> LoadFrom(HMODULE module, int id) {
    // String resources are limited to 65535 characters; the longest texts here are a few hundred.
    char buffer[4096];
    const int length = LoadStringA(module, UINT(id), buffer, int(sizeof buffer));
    if (length <= 0) return std::nullopt;
    return std::string(buffer, size_t(length));
}

// The dialog templates of a loaded library that the program has descriptions for.
std::map<int, platform::DialogTemplate> TemplatesOf(HMODULE module, std::span<const platform::DialogDescription* const> dialogs) {
    std::map<int, platform::DialogTemplate> templates;
    for (const platform::DialogDescription* description : dialogs) {
        if (!description) continue;
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(description->id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data) continue;
        auto decoded = platform::DecodeDialogTemplate(
            std::span(static_cast<const uint8_t*>(data), size_t(SizeofResource(module, found))));
        if (decoded) templates[description->id] = std::move(*decoded);
    }
    return templates;
}

}  // namespace

Win32Resources::~Win32Resources() {
    if (language_) FreeLibrary(language_);
}

platform::Outcome Win32Resources::UseLanguageLibrary(std::string_view full_path) {
    // A bare name would send the loader down the library search path.
    if (!IsAbsoluteWindowsPath(full_path))
        return platform::Fail(platform::Status::invalid_argument,
                              "a language library is loaded by its full path only, not \"" + std::string(full_path) + "\"");
    const std::string path(full_path);
    // As data only: no code of it runs and none of its dependencies is loaded at all.
    HMODULE loaded = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!loaded) return LastError(path);
    dialogs_ = platform::TranslatedDialogs(built_in_dialogs_, TemplatesOf(loaded, built_in_dialogs_));
    if (language_) FreeLibrary(language_);
    language_ = loaded;
    return {};
}

const platform::DialogDescription& Win32Resources::Dialog(const platform::DialogDescription& built_in) {
    return dialogs_.Of(built_in);
}

std::optional<std::string> Win32Resources::Text(int id) {
    if (auto text = LoadFrom(language_ ? language_ : program_, id)) return text;
    if (auto found = text::FindString(built_in_, id)) return std::string(*found);
    return std::nullopt;
}

}  // namespace rvx::win32
