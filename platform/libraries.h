// Libraries loaded at run time: the language libraries that replace the built-in texts and
// dialogs, and the DirectX set-up library of the installation medium. Both are loaded by full
// path only, never through the library search path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace rvx::platform {

class Resources {
public:
    virtual ~Resources() = default;
    // Loads a language library by full path and takes later texts from it; fails and keeps the
    // built-in texts when it cannot be loaded.
    virtual Outcome UseLanguageLibrary(std::string_view full_path) = 0;
    // A string-table text: from the language library when one is in use and has it, else built in.
    virtual std::optional<std::string> Text(int id) = 0;
};

struct DirectXVersion {
    uint32_t version = 0;
    uint32_t revision = 0;
};

class DirectXSetup {
public:
    virtual ~DirectXSetup() = default;
    virtual Result<DirectXVersion> InstalledVersion(std::string_view library_path) = 0;
    // Runs the set-up from the folder that holds it; the library's own result code.
    virtual Result<int32_t> Run(std::string_view library_path, std::string_view source_folder, uint32_t flags) = 0;
};

}  // namespace rvx::platform
