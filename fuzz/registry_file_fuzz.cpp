// Fuzz target: registry files on arbitrary bytes. What parses must write out into a file that
// parses back to the same tree and writes out to the same text again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sandbox/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto tree = rvx::sandbox::ParseRegistryFile(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.reg");
    if (!tree) return 0;
    const std::string text = rvx::sandbox::FormatRegistryFile(tree.value());
    auto again = rvx::sandbox::ParseRegistryFile(text, "again.reg");
    if (!again || !(again.value() == tree.value())) __builtin_trap();
    if (rvx::sandbox::FormatRegistryFile(again.value()) != text) __builtin_trap();
    return 0;
}
