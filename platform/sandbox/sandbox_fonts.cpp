// The simulated machine's font table.
#include "platform/sandbox/sandbox_fonts.h"

#include <string>

namespace rvx::sandbox {

platform::Result<int> SandboxFonts::AddFont(std::string_view path) {
    if (!platform::Exists(files_, path) || platform::IsFolder(files_, path))
        return platform::Fail(platform::Status::not_found, "font file " + std::string(path));
    if (auto written = journal_.Write("FONT", {Word("action", "add"), Field("path", path)}); !written) return written.error();
    return 1;
}

}  // namespace rvx::sandbox
