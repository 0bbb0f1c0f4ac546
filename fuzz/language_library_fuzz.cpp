// Fuzz target: the language library reader on arbitrary bytes taken as a Windows image, and its
// two decoders on the same bytes taken as one string block and as one dialog template, so that
// the fuzzer reaches them without first having to build a whole image.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/language_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    if (auto library = rvx::platform::ReadLanguageLibrary(bytes)) {
        for (const auto& [id, text] : library->strings)
            if (id < 0 || id > 0xFFFF || text.empty()) __builtin_trap();
    }
    const uint32_t block = size > 0 ? data[0] : 0;
    if (auto texts = rvx::platform::DecodeStringBlock(block, bytes.subspan(size > 0 ? 1 : 0))) {
        // Only the block's own sixteen ids, and only texts the block's bytes can hold.
        size_t characters = 0;
        for (const auto& [id, text] : *texts) {
            if (id < int(block - 1) * 16 || id >= int(block) * 16) __builtin_trap();
            characters += text.size();
        }
        if (2 * (16 + characters) > size) __builtin_trap();
    }
    if (auto dialog = rvx::platform::DecodeDialogTemplate(bytes)) {
        // Every control takes at least its fixed part of the bytes.
        if (dialog->controls.size() * 18 > size) __builtin_trap();
    }
    return 0;
}
