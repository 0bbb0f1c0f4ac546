// What a host entry is, as far as the simulated machine knows it without asking the host.
#pragma once

#include <cstdint>

namespace rvx::sandbox {

enum class HostEntryKind : uint8_t {
    unknown,     // to be asked (a link, or a name the kernel's change queue gave without saying)
    folder,      // a folder itself, not a link to one
    not_folder,  // a file or anything else that is neither a folder nor a link
};

}  // namespace rvx::sandbox
