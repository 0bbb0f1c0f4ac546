// Fuzz target: the font family name reader on arbitrary bytes taken as a TrueType file, both in
// memory and as a file on one simulated machine kept for the whole run.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <span>
#include <vector>

#include "installer/files/font_name.h"
#include "tests/support/scratch_machine.h"

using rvx::installer::ReadFontFamilyName;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static rvx::test_support::ScratchMachine machine("rvx-font-fuzz", "");
    const std::span<const uint8_t> font(data, size);
    const auto name = ReadFontFamilyName(font);
    if (name && name->size() > rvx::installer::kMaxFontFamilyLength) __builtin_trap();

    // Every range is checked against the bytes present, so bytes after the end cannot change a
    // name already found.
    if (name) {
        std::vector<uint8_t> longer(font.begin(), font.end());
        longer.resize(size + 64, 0xA5);
        if (ReadFontFamilyName(longer) != name) __builtin_trap();
    }

    // Reading the file piece by piece must agree with reading the bytes whole.
    std::ofstream(machine.DriveC("Setup/font.ttf"), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (ReadFontFamilyName(machine.platform().files, "C:\\Setup\\font.ttf") != name) __builtin_trap();
    return 0;
}
