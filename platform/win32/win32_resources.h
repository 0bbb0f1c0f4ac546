// Texts and dialogs of the real program: from a language library's string table and dialog
// templates when one is loaded, else from the program's own resources, else from the built-in
// table and descriptions.
#pragma once

#include <span>

#include "common/text/string_table.h"
#include "platform/libraries.h"
#include "platform/translated_dialogs.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

class Win32Resources : public platform::Resources {
public:
    Win32Resources(HINSTANCE program, std::span<const text::StringEntry> built_in,
                   std::span<const platform::DialogDescription* const> built_in_dialogs)
        : program_(program), built_in_(built_in), built_in_dialogs_(built_in_dialogs) {}
    ~Win32Resources() override;
    Win32Resources(const Win32Resources&) = delete;
    Win32Resources& operator=(const Win32Resources&) = delete;

    platform::Outcome UseLanguageLibrary(std::string_view full_path) override;
    std::optional<std::string> Text(int id) override;
    const platform::DialogDescription& Dialog(const platform::DialogDescription& built_in) override;

    // Where dialog templates and bitmaps are looked up: the language library first, when one is
    // loaded, then the program itself.
    HMODULE language_module() const { return language_; }
    HINSTANCE program_module() const { return program_; }

private:
    HINSTANCE program_;
    HMODULE language_ = nullptr;
    std::span<const text::StringEntry> built_in_;
    std::span<const platform::DialogDescription* const> built_in_dialogs_;
    // The library's templates as descriptions, so that page models carry the texts the real
    // dialogs show (the portable decoder reads the templates the system loaded).
    platform::TranslatedDialogs dialogs_;
};

}  // namespace rvx::win32
