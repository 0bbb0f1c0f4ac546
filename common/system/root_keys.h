// The short root-key names that install and uninstall scripts write ("HKLM"), shared by both
// programs so that they accept exactly the same roots.
#pragma once

#include <optional>
#include <string_view>

#include "platform/registry.h"

namespace rvx::system {

// The root named by "HKLM", "HKCR", "HKCU" or "HKU" (exact case); nothing for any other name.
std::optional<platform::RootKey> RootKeyFromName(std::string_view name);

}  // namespace rvx::system
