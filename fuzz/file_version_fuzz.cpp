// Fuzz target: the file version reader on arbitrary bytes taken as a Windows image.
#include <cstddef>
#include <cstdint>
#include <span>

#include "installer/script/file_version.h"

namespace {

uint32_t Le32(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

// True when the input holds fixed version information (its signature, then the structure
// version, then the two version words) that says the given version.
bool HoldsFixedInfo(const uint8_t* data, size_t size, const rvx::installer::FileVersion& version) {
    for (size_t at = 0; size >= 16 && at <= size - 16; ++at)
        if (Le32(data + at) == 0xFEEF04BD && Le32(data + at + 8) == version.most_significant &&
            Le32(data + at + 12) == version.least_significant)
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto version = rvx::installer::ReadFileVersion(std::span<const uint8_t>(data, size));
    // A version can only come from the input's own bytes.
    if (version && !HoldsFixedInfo(data, size, *version)) __builtin_trap();
    return 0;
}
