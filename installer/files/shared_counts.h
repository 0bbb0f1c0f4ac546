// Reference counts of files several products share, kept in the system's shared-library
// register so that an uninstaller removes such a file only when its last user goes.
#pragma once

#include <cstdint>
#include <string>

namespace rvx::installer {

class InstallState;

// After a shared file was written: a new file's count becomes 1; an existing file's count goes
// up by one, except in an update of the same product, which only fills in a missing count.
void RaiseSharedCount(InstallState& app, const std::string& path, bool existed_before);

// The register access underneath. 0 on success, else a non-zero error code; nothing is reported.
int WriteSharedCount(InstallState& app, const std::string& path, bool increment, uint32_t value, bool only_if_missing);

}  // namespace rvx::installer
