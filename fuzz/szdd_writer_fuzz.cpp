// Fuzz target: the compress/expand writer on arbitrary bytes, read back by the expanding reader.
// The reader must take the output as compressed, give the header's size and missing character,
// and expand it to exactly the input, in reads of any size; the output is never more than the
// all-literal form (nine bytes for eight, a flag byte and the header).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "installer/files/szdd_reader.h"
#include "installer/files/szdd_writer.h"
#include "platform/sandbox/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const char missing = size == 0 ? 'Z' : static_cast<char>(data[0]);
    auto compressed = rvx::installer::CompressSzdd(input, missing);
    if (!compressed) __builtin_trap();
    if (compressed.value().size() > 14 + size + size / 8 + 1) __builtin_trap();

    rvx::sandbox::MemoryFiles files;
    files.Put("C:\\FUZZ._", compressed.value());
    auto file = files.Open({"C:\\FUZZ._"});
    if (!file) __builtin_trap();
    auto reader = rvx::installer::ExpandingReader::FromFile(std::move(file.value()), "fuzz");
    if (!reader || !reader.value()->compressed()) __builtin_trap();
    if (reader.value()->missing_character() != missing) __builtin_trap();
    if (reader.value()->ExpandedSize().value_or(size + 1) != size) __builtin_trap();
    std::string expanded;
    std::vector<char> buffer(1 + size % 61);
    for (;;) {
        auto got = reader.value()->Read(buffer.data(), buffer.size());
        if (!got) __builtin_trap();
        if (got.value() == 0) break;
        expanded.append(buffer.data(), got.value());
    }
    if (expanded != input) __builtin_trap();
    return 0;
}
