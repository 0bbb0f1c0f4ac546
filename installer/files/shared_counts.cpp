// Shared-library reference counts.
#include "installer/files/shared_counts.h"

#include "common/system/shared_counts.h"
#include "installer/core/state/install_state.h"

namespace rvx::installer {

using platform::RootKey;
using system::kSharedDllsKey;

int WriteSharedCount(InstallState& app, const std::string& path, bool increment, uint32_t value, bool only_if_missing) {
    platform::Registry& registry = app.platform().registry;
    // The register is opened, never created: a system without it keeps no counts.
    if (!registry.KeyExists(RootKey::local_machine, kSharedDllsKey)) return static_cast<int>(platform::Status::not_found);
    auto stored = registry.ReadValue(RootKey::local_machine, kSharedDllsKey, path);
    // A value that does not fit the count is read as missing, as a query into the count fails.
    const std::optional<uint32_t> count = stored ? system::DecodeSharedCount(*stored) : std::nullopt;
    if (only_if_missing && count) return 0;
    const uint32_t next = increment ? count.value_or(0) + 1 : value;
    auto written = registry.WriteValue(RootKey::local_machine, kSharedDllsKey, path, system::EncodeSharedCount(next));
    return written ? 0 : static_cast<int>(written.status());
}

void RaiseSharedCount(InstallState& app, const std::string& path, bool existed_before) {
    if (!existed_before)
        (void)WriteSharedCount(app, path, false, 1, false);
    else if (!app.flags().update)
        (void)WriteSharedCount(app, path, true, 1, false);
    else
        (void)WriteSharedCount(app, path, false, 1, true);
}

}  // namespace rvx::installer
