// Registry lines and the registry stage.
#include "installer/registration/registry_lines.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/app/dialogs.h"
#include "common/system/root_keys.h"
#include "common/text/field_splitter.h"
#include "installer/core/state/install_state.h"
#include "installer/script/variables.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

constexpr size_t kRegistryLineFields = 5;

// Scripts have always written binary data in lower case; an upper-case digit makes the line
// invalid rather than being read some other way.
std::optional<uint8_t> LowerHexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> FourBytes(std::string_view data) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < 4; ++i) {
        if (2 * i + 1 >= data.size()) return std::nullopt;
        auto high = LowerHexDigit(data[2 * i]);
        auto low = LowerHexDigit(data[2 * i + 1]);
        if (!high || !low) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(*high << 4 | *low));
    }
    return bytes;
}

// The value as a 4-byte read receives it: a value of up to 4 bytes, of whatever type, fills the
// low bytes of the number; a longer one does not fit and cannot be read.
std::optional<uint32_t> ReadFourByteNumber(platform::Registry& registry, platform::RootKey root, const std::string& key,
                                           const std::string& name) {
    auto stored = registry.ReadValue(root, key, name);
    if (!stored || stored->data.size() > 4) return std::nullopt;
    uint32_t number = 0;
    for (size_t i = 0; i < stored->data.size(); ++i) number |= static_cast<uint32_t>(stored->data[i]) << (8 * i);
    return number;
}

}  // namespace

std::variant<RegistryLine, RegistryLineProblem> ParseRegistryLine(std::string_view text) {
    const auto fields = text::SplitFields(text, ",");
    if (fields.size() < kRegistryLineFields) return RegistryLineProblem::too_few_fields;
    const auto root = system::RootKeyFromName(fields[0]);
    if (!root) return RegistryLineProblem::unknown_root;
    RegistryLine line;
    line.root = *root;
    line.key = fields[1];
    line.name = fields[2];
    const std::string& type = fields[3];
    if (type == "hex") {
        auto bytes = FourBytes(fields[4]);
        if (!bytes) return RegistryLineProblem::bad_hex;
        line.kind = RegistryLine::Kind::binary;
        line.bytes = std::move(*bytes);
    } else if (type == "inc") {
        line.kind = RegistryLine::Kind::increment;
    } else {
        line.text = fields[4];
    }
    return line;
}

void ApplyRegistryLine(platform::Registry& registry, std::string_view text) {
    auto parsed = ParseRegistryLine(text);
    if (!std::holds_alternative<RegistryLine>(parsed)) return;
    const RegistryLine& line = std::get<RegistryLine>(parsed);

    // The value is made before the key, so that a line with invalid data leaves no empty key.
    platform::RegValue value;
    switch (line.kind) {
        case RegistryLine::Kind::binary: value = platform::RegValue::Binary(line.bytes); break;
        case RegistryLine::Kind::increment: {
            auto current = ReadFourByteNumber(registry, line.root, line.key, line.name);
            value = platform::RegValue::Dword(current ? *current + 1 : 1);
            break;
        }
        case RegistryLine::Kind::text: value = platform::RegValue::Text(line.text); break;
    }
    if (!registry.CreateKey(line.root, line.key)) return;
    (void)registry.WriteValue(line.root, line.key, line.name, value);
}

Completion ApplyExpandedRegistryLine(const ExpansionSources& sources, platform::Registry& registry, std::string_view line) {
    const Expansion expanded = Expanded(sources, line);
    if (expanded.stopped()) return expanded.stop();
    ApplyRegistryLine(registry, *expanded);
    return Completion::Done();
}

Completion RunRegistryStage(const ExpansionSources& sources, const RunFlags& flags, platform::Registry& registry) {
    const ScriptSections& script = sources.script;
    for (const std::string& line : script.registry)
        if (auto applied = ApplyExpandedRegistryLine(sources, registry, line); applied.stopped()) return applied;
    // The second line stores the working folder that the first line's three fields read back.
    if (script.working_dir.size() == 2)
        if (auto applied = ApplyExpandedRegistryLine(sources, registry, script.working_dir[1]); applied.stopped())
            return applied;
    if (!flags.install_over) {
        // The table's text ends in the value name; " ,," adds an empty type, so the version
        // is stored as text.
        const std::string line = app::LoadText(sources.resources, kVersionRegistryLine) + " ,," + script.version;
        return ApplyExpandedRegistryLine(sources, registry, line);
    }
    return Completion::Done();
}

}  // namespace rvx::installer
