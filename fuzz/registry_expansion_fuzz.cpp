// Fuzz target: variable expansion where variables are registry references ("$root,key,value"),
// read from a fresh in-memory registry holding a few values, so that runs stay independent.
// The first input line is a variable's value (a reference, or anything), the rest are texts to
// expand. Expansion must never write to the registry, must end without fault (an undefined
// variable stops the installer, a valid outcome), and gives the same text, or the same stop,
// every time.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "installer/core/install_app.h"
#include "installer/script/variables.h"
#include "platform/sandbox/registry_file.h"
#include "platform/sandbox/sandbox_registry.h"
#include "tests/support/scratch_machine.h"

namespace {

// Whether an undefined variable stopped the expansion, and the expanded text or that variable.
std::pair<bool, std::string> Expand(rvx::installer::InstallApp& app, const std::string& text) {
    const rvx::installer::Expansion expanded = rvx::installer::Expanded(app, text);
    if (!expanded.stopped()) return {false, *expanded};
    // A stop names the variable as written, from its percent sign on.
    if (!expanded.stop().variable.starts_with('%')) __builtin_trap();
    return {true, expanded.stop().variable};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static rvx::test_support::ScratchMachine machine("rvx-registry-expansion-fuzz", "");
    machine.StartRun();
    auto created = rvx::sandbox::SandboxRegistry::CreateEmpty("/nonexistent/registry.reg",
                                                             rvx::sandbox::SandboxRegistry::Saving::on_flush);
    if (!created) __builtin_trap();
    rvx::sandbox::SandboxRegistry& registry = *created.value();
    using rvx::platform::RegValue;
    using rvx::platform::RootKey;
    (void)registry.WriteValue(RootKey::local_machine, "Software\\Demo", "Path", RegValue::Text("C:\\Prog"));
    (void)registry.WriteValue(RootKey::local_machine, "Software\\Demo", "", RegValue::Text("%NAME%"));
    (void)registry.WriteValue(RootKey::current_user, "Software\\Demo", "Count", RegValue::Dword(7));
    const std::string before = rvx::sandbox::FormatRegistryFile(registry.tree());

    rvx::platform::Platform& real = machine.platform();
    rvx::platform::Platform platform{real.files,   registry,   real.environment, real.shell,
                                     real.services, real.processes, real.power, real.fonts,
                                     real.program_manager, real.resources, real.directx, real.ui,
                                     real.clock};
    rvx::installer::InstallApp app(platform);
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find('\n');
    app.script().user_variables = {"NAME=Demo", "REF=" + input.substr(0, cut), "PLAIN=$HKLM,Software\\Demo,Path"};
    const std::string texts = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    (void)rvx::installer::ReadRegistrySpecification(registry, input.substr(0, cut));
    size_t start = 0;
    while (start <= texts.size()) {
        size_t end = texts.find('\n', start);
        if (end == std::string::npos) end = texts.size();
        const std::string text = texts.substr(start, end - start);
        start = end + 1;
        if (Expand(app, text) != Expand(app, text)) __builtin_trap();
    }
    if (rvx::sandbox::FormatRegistryFile(registry.tree()) != before) __builtin_trap();
    return 0;
}
