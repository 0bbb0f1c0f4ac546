// Libraries loaded at run time: the language libraries that replace the built-in texts and
// dialogs, and the DirectX set-up library of the installation medium. Both are loaded by full
// path only, never through the library search path.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dialog_description.h"
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
    // A dialog as the language library in use shows it (caption, texts, places), else the
    // built-in description itself; page models are made from it.
    virtual const DialogDescription& Dialog(const DialogDescription& built_in) = 0;
};

struct DirectXVersion {
    uint32_t version = 0;
    uint32_t revision = 0;
};

// The DirectX set-up library, loaded for one use; destroying it unloads the library.
class DirectXLibrary {
public:
    virtual ~DirectXLibrary() = default;
    // The installed DirectX version and revision, as the library reports them.
    virtual Result<DirectXVersion> InstalledVersion() = 0;
    // Runs the set-up from the folder that holds the redistributable, without an owner window;
    // the library's own result code.
    virtual Result<int32_t> Run(std::string_view source_folder, uint32_t flags) = 0;
};

class DirectXSetup {
public:
    virtual ~DirectXSetup() = default;
    // Loads the library by full path; fails when it is missing, cannot be loaded or lacks the
    // entry points the set-up needs.
    virtual Result<std::unique_ptr<DirectXLibrary>> Load(std::string_view library_path) = 0;
};

}  // namespace rvx::platform
