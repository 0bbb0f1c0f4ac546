// Fuzz target: the machine's store of file attributes and creation times (file-attributes.ini)
// on arbitrary bytes. What parses must format into a store that parses and formats the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sandbox/file_metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using rvx::sandbox::FileMetadataStore;
    auto parsed = FileMetadataStore::Parse(std::string_view(reinterpret_cast<const char*>(data), size), "file-attributes.ini");
    if (!parsed) return 0;
    const std::string text = parsed.value().Format();
    auto again = FileMetadataStore::Parse(text, "file-attributes.ini");
    if (!again || again.value().Format() != text || again.value().size() != parsed.value().size()) __builtin_trap();
    return 0;
}
