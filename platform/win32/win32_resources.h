// Texts of the real program: from a language library's string table when one is loaded, else
// from the program's own resources, else from the built-in table.
#pragma once

#include <span>

#include "common/text/string_table.h"
#include "platform/libraries.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

class Win32Resources : public platform::Resources {
public:
    Win32Resources(HINSTANCE program, std::span<const text::StringEntry> built_in)
        : program_(program), built_in_(built_in) {}
    ~Win32Resources() override;
    Win32Resources(const Win32Resources&) = delete;
    Win32Resources& operator=(const Win32Resources&) = delete;

    platform::Outcome UseLanguageLibrary(std::string_view full_path) override;
    std::optional<std::string> Text(int id) override;

    // Where dialog templates and bitmaps are looked up: the language library first, when one is
    // loaded, then the program itself.
    HMODULE language_module() const { return language_; }
    HINSTANCE program_module() const { return program_; }

private:
    HINSTANCE program_;
    HMODULE language_ = nullptr;
    std::span<const text::StringEntry> built_in_;
};

}  // namespace rvx::win32
