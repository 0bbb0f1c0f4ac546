// Fuzz target: the installer's answer file reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "installer/core/answer_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rvx::installer::Answers answers;
    auto result = rvx::installer::ParseAnswerFile(std::string_view(reinterpret_cast<const char*>(data), size), answers);
    // A keyword that stopped the reading is always reported in lower case.
    if (result.unknown_keyword)
        for (char c : *result.unknown_keyword)
            if (c >= 'A' && c <= 'Z') __builtin_trap();
    return 0;
}
