// The simulated machine's font table: a font added to the running session is journaled as a
// FONT line, since it leaves neither a file nor a registry value behind.
#pragma once

#include <string_view>

#include "platform/files.h"
#include "platform/system_services.h"
#include "platform/sandbox/journal.h"

namespace rvx::sandbox {

class SandboxFonts : public platform::Fonts {
public:
    SandboxFonts(platform::FileSystem& files, Journal& journal) : files_(files), journal_(journal) {}
    // One font added when path names a file on the machine; not_found otherwise (the system
    // adds no font then). The file's content is not examined.
    platform::Result<int> AddFont(std::string_view path) override;

private:
    platform::FileSystem& files_;
    Journal& journal_;
};

}  // namespace rvx::sandbox
