// Reading and writing shared-library counts.
#include "common/system/shared_counts.h"

namespace rvx::system {

namespace {
constexpr size_t kCountBytes = 4;
}

std::optional<uint32_t> DecodeSharedCount(const platform::RegValue& value) {
    if (value.data.size() > kCountBytes) return std::nullopt;
    uint32_t count = 0;
    for (size_t i = 0; i < value.data.size(); ++i) count |= static_cast<uint32_t>(value.data[i]) << (8 * i);
    return count;
}

platform::RegValue EncodeSharedCount(uint32_t count, uint32_t type) {
    platform::RegValue value = platform::RegValue::Dword(count);
    value.type = type;
    return value;
}

}  // namespace rvx::system
