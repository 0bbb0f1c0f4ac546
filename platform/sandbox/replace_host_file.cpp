// Replacing a machine file through a temporary file.
#include "platform/sandbox/replace_host_file.h"

#include <cstdio>
#include <fstream>

namespace rvx::sandbox {

using platform::Fail;
using platform::Status;

platform::Outcome ReplaceHostFile(const std::string& host_path, std::string_view text) {
    const std::string temporary = host_path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return Fail(Status::io_error, "cannot write " + temporary);
        }
    }
    if (std::rename(temporary.c_str(), host_path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return Fail(Status::io_error, "cannot replace " + host_path);
    }
    return {};
}

}  // namespace rvx::sandbox
