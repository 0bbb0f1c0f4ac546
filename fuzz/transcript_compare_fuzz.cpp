// Fuzz target: the GUI tests' parity check on arbitrary bytes. The input holds a host journal
// and a driver's transcript, split at the first NUL byte (the whole input is both when there is
// none); both are read and compared, as transcript_compare does with its two files.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/support/transcript_parity.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view host_text = input.substr(0, split);
    const std::string_view windows_text = split == std::string_view::npos ? input : input.substr(split + 1);
    auto host = rvx::parity::ReadInteractions(host_text, "host");
    auto windows = rvx::parity::ReadInteractions(windows_text, "windows");
    if (!host || !windows) return 0;
    (void)rvx::parity::CompareInteractions(host.value(), windows.value());
    return 0;
}
