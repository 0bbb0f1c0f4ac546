// Fuzz target: answer scripts of the simulated machine's user interface on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sandbox/scripted_responder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto parsed = rvx::sandbox::ScriptedResponder::Parse(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz");
    (void)parsed;
    return 0;
}
