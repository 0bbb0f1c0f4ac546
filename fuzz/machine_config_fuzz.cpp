// Fuzz target: the simulated machine's description (machine.ini) on arbitrary bytes. What parses
// must format into a description that parses to the same text again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sandbox/machine_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto parsed = rvx::sandbox::ParseMachineConfig(std::string_view(reinterpret_cast<const char*>(data), size), "machine.ini");
    if (!parsed) return 0;
    const std::string text = rvx::sandbox::FormatMachineConfig(parsed.value());
    auto again = rvx::sandbox::ParseMachineConfig(text, "machine.ini");
    if (!again || rvx::sandbox::FormatMachineConfig(again.value()) != text) __builtin_trap();
    return 0;
}
