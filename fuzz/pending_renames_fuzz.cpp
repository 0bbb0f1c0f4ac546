// Fuzz target: PendingFileRenameOperations values of any content. Appending a pair must keep the
// pairs already there and add exactly the new one.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/sandbox/pending_renames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rvx::sandbox;
    const std::vector<uint8_t> value(data, data + size);
    const std::vector<PendingRename> before = ParsePendingRenames(value);
    const std::vector<PendingRename> after = ParsePendingRenames(AppendPendingRename(value, "C:\\new.tmp", "C:\\lib.dll"));
    if (after.size() != before.size() + 1) __builtin_trap();
    for (size_t i = 0; i < before.size(); ++i)
        if (after[i].from != before[i].from || after[i].to != before[i].to || after[i].replace_existing != before[i].replace_existing)
            __builtin_trap();
    const PendingRename& added = after.back();
    if (added.from != "C:\\new.tmp" || added.to != "C:\\lib.dll" || !added.replace_existing) __builtin_trap();
    return 0;
}
