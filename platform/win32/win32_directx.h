// The DirectX set-up library of the installation medium, bound at run time: loaded by full path
// only (never through the library search path), its entry points looked up by name.
#pragma once

#include "platform/libraries.h"

namespace rvx::win32 {

class Win32DirectXSetup : public platform::DirectXSetup {
public:
    platform::Result<std::unique_ptr<platform::DirectXLibrary>> Load(std::string_view library_path) override;
};

}  // namespace rvx::win32
