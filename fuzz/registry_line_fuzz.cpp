// Fuzz target: registry lines, one per input line, each written into a fresh in-memory registry
// in place of the simulated machine's own, so that runs stay independent and nothing grows.
// Lines that must write nothing are checked to have written nothing, and written values to
// have the size and type their kind gives them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/system/root_keys.h"
#include "common/text/field_splitter.h"
#include "installer/registration/registry_lines.h"
#include "platform/sandbox/sandbox_registry.h"

namespace {

bool HasAnyKey(const rvx::sandbox::SandboxRegistry& registry) {
    bool any = false;
    registry.tree().ForEachKey([&](rvx::platform::RootKey, const std::string& path, const rvx::sandbox::RegistryKey& key) {
        if (!path.empty() || !key.values.empty()) any = true;
    });
    return any;
}

void CheckOneLine(const std::string& line) {
    auto created = rvx::sandbox::SandboxRegistry::CreateEmpty("/nonexistent/registry.reg", rvx::sandbox::SandboxRegistry::Saving::on_flush);
    if (!created) __builtin_trap();
    rvx::sandbox::SandboxRegistry& registry = *created.value();
    rvx::installer::ApplyRegistryLine(registry, line);

    const auto fields = rvx::text::SplitFields(line, ",");
    const auto root = fields.empty() ? std::nullopt : rvx::system::RootKeyFromName(fields[0]);
    if (fields.size() < 5 || !root) {
        if (HasAnyKey(registry)) __builtin_trap();
        return;
    }
    auto value = registry.ReadValue(*root, fields[1], fields[2]);
    if (!value) return;  // a key or name the registry refuses
    if (fields[3] == "hex" && (value->type != rvx::platform::value_type::binary || value->data.size() != 4)) __builtin_trap();
    if (fields[3] == "inc" && value->AsDword() != 1u) __builtin_trap();  // a fresh registry starts every count at 1
    if (fields[3] != "hex" && fields[3] != "inc" && value->AsText() != fields[4].substr(0, fields[4].find('\0')))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        CheckOneLine(input.substr(start, end - start));
        start = end + 1;
    }
    return 0;
}
