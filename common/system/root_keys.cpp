// The script root-key table.
#include "common/system/root_keys.h"

#include <array>

namespace rvx::system {

namespace {
struct ShortRootName {
    std::string_view name;
    platform::RootKey root;
};
// Scripts have always been written with these upper-case names only; "hklm" is not a root.
constexpr std::array<ShortRootName, 4> kShortRootNames{{
    {"HKLM", platform::RootKey::local_machine},
    {"HKCR", platform::RootKey::classes_root},
    {"HKCU", platform::RootKey::current_user},
    {"HKU", platform::RootKey::users},
}};
}  // namespace

std::optional<platform::RootKey> RootKeyFromName(std::string_view name) {
    for (const auto& entry : kShortRootNames)
        if (entry.name == name) return entry.root;
    return std::nullopt;
}

}  // namespace rvx::system
