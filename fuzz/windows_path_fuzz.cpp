// Fuzz target: the resolution of Windows paths as programs give them ("c:/x\..\Y", "\Folder",
// "name.txt", "\\server\share") against a current folder. A resolved path has only real
// components, resolving its own text again gives the same path, and it never leaves its drive.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sandbox/windows_path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const rvx::sandbox::WindowsPath kCurrent{'C', {"Program Files", "Demo"}};
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto resolved = rvx::sandbox::NormalizeWindowsPath(text, kCurrent);
    if (!resolved) return 0;
    for (const auto& component : resolved->components) {
        if (component.empty() || component == "." || component == ".." ||
            component.find_first_of("\\/") != std::string::npos)
            __builtin_trap();
    }
    if (resolved->drive < 'A' || resolved->drive > 'Z') __builtin_trap();
    auto again = rvx::sandbox::NormalizeWindowsPath(resolved->Text(), rvx::sandbox::WindowsPath{});
    if (!again || again->Text() != resolved->Text()) __builtin_trap();
    if (!resolved->IsWithin(rvx::sandbox::WindowsPath{resolved->drive, {}})) __builtin_trap();
    return 0;
}
