// Shared-library reference counts.
#include "installer/files/shared_counts.h"

#include <optional>

#include "common/system/shared_counts.h"

namespace rvx::installer {

using platform::RootKey;
using system::kSharedDllsKey;

platform::Outcome WriteSharedCount(platform::Registry& registry, const std::string& path, bool increment, uint32_t value,
                                   bool only_if_missing) {
    // The register is opened, never created: a system without it keeps no counts.
    if (!registry.KeyExists(RootKey::local_machine, kSharedDllsKey))
        return platform::Fail(platform::Status::not_found, kSharedDllsKey);
    auto stored = registry.ReadValue(RootKey::local_machine, kSharedDllsKey, path);
    // A value that does not fit the count is read as missing, as a query into the count fails.
    const std::optional<uint32_t> count = stored ? system::DecodeSharedCount(*stored) : std::nullopt;
    if (only_if_missing && count) return {};
    const uint32_t next = increment ? count.value_or(0) + 1 : value;
    return registry.WriteValue(RootKey::local_machine, kSharedDllsKey, path, system::EncodeSharedCount(next));
}

namespace {

// A file found in place without a count belongs to a program that never counted it: counting it
// as that one user plus this installation keeps it until the last of them goes, as the system's
// own installers do.
constexpr uint32_t kFoundUncountedCount = 2;

}  // namespace

void RaiseSharedCount(platform::Registry& registry, bool update, const std::string& path, bool existed_before) {
    auto stored = registry.ReadValue(RootKey::local_machine, kSharedDllsKey, path);
    const bool counted = stored && system::DecodeSharedCount(*stored).has_value();
    if (!existed_before)
        (void)WriteSharedCount(registry, path, false, 1, false);
    else if (!counted)
        (void)WriteSharedCount(registry, path, false, kFoundUncountedCount, false);
    else if (!update)
        (void)WriteSharedCount(registry, path, true, 1, false);
    else
        (void)WriteSharedCount(registry, path, false, 1, true);
}

}  // namespace rvx::installer
