// The script root-key names, read from the one root-name table.
#include "common/system/root_keys.h"

namespace rvx::system {

std::optional<platform::RootKey> RootKeyFromName(std::string_view name) {
    // Scripts have always been written with the four upper-case names only: "hklm" is not a
    // root, and neither is "HKCC", which only the registry editor's files know.
    for (const auto& entry : platform::kRootKeyNames)
        if (entry.root != platform::RootKey::current_config && entry.short_name == name) return entry.root;
    return std::nullopt;
}

}  // namespace rvx::system
