// Fuzz target: the command line of an uninstall entry, as any program may have written it into
// the registry, split into the program to start and its arguments the way the system's list of
// removable software does. A program found must be one of the machine's files, and the
// arguments are always the end of the text.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "common/text/text.h"
#include "host/uninstall_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::set<std::string> kFiles = {"C:\\PROGRAM FILES\\DEMO\\DISMARA.EXE", "C:\\PROGRAM.EXE", "C:\\A B\\C.EXE"};
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto command = rvx::host::SplitUninstallString(text, [](const std::string& name) -> std::optional<std::string> {
        if (kFiles.count(rvx::text::ToUpper(name))) return name;
        return std::nullopt;
    });
    if (command.found && !kFiles.count(rvx::text::ToUpper(command.program))) __builtin_trap();
    if (command.arguments.size() > text.size() ||
        text.compare(text.size() - command.arguments.size(), command.arguments.size(), command.arguments) != 0)
        __builtin_trap();
    return 0;
}
