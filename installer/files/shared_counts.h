// Reference counts of files several products share, kept in the system's shared-library
// register so that an uninstaller removes such a file only when its last user goes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/result.h"

namespace rvx::installer {

// After a shared file was written: a new file's count becomes 1; an existing file without a
// count gets 2 (its earlier user and this one); an existing file's count goes up by one, except
// in an update of the same product (update set), which leaves it as it is.
void RaiseSharedCount(platform::Registry& registry, bool update, const std::string& path, bool existed_before);

// The register access underneath: fails as the registry does (not_found when the register is
// missing); nothing is reported.
platform::Outcome WriteSharedCount(platform::Registry& registry, const std::string& path, bool increment, uint32_t value,
                                   bool only_if_missing);

}  // namespace rvx::installer
