// Fuzz target: the open commands of file types read from the registry, as the installer's browser
// fallback cuts them and as the simulated machine fills them in. The fallback keeps a prefix of
// the command and ends with a blank and the target; the filled-in command holds the target.
#include <cstddef>
#include <cstdint>
#include <string>

#include "installer/actions/open_document.h"
#include "platform/sandbox/file_association.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The first zero byte, if any, separates the registered command from the target.
    const size_t split = input.find('\0');
    const std::string command = input.substr(0, split);
    const std::string target = split == std::string::npos ? "http://www.example.com" : input.substr(split + 1);

    const std::string browser = rvx::installer::BrowserCommandLine(command, target);
    const std::string tail = " " + target;
    if (browser.size() < tail.size()) __builtin_trap();
    const size_t kept = browser.size() - tail.size();
    if (browser.compare(kept, tail.size(), tail) != 0) __builtin_trap();
    if (command.compare(0, kept, browser, 0, kept) != 0) __builtin_trap();

    const std::string filled = rvx::sandbox::CommandLineFor(command, target);
    if (filled.find(target) == std::string::npos) __builtin_trap();
    (void)rvx::sandbox::TypeKeyOf(target);
    return 0;
}
