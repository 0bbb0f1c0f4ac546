// Registry lines: the one-line texts in which scripts describe registry values
// ("root, key, value name, type, data"), and the installer's registry stage that writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "installer/script/expansion.h"
#include "installer/script/variables.h"
#include "platform/registry.h"

namespace rvx::installer {

struct RunFlags;

// One registry line, as the writer reads it.
struct RegistryLine {
    platform::RootKey root{};
    std::string key;
    std::string name;
    enum class Kind { text, binary, increment } kind = Kind::text;
    std::string text;            // the data of a text value
    std::vector<uint8_t> bytes;  // the 4 bytes of a "hex" value
};

// Why a registry line is written nowhere.
enum class RegistryLineProblem { too_few_fields, unknown_root, bad_hex };

// Reads one (expanded) registry line: fields from the shared field splitter, fields after the
// fifth ignored.
std::variant<RegistryLine, RegistryLineProblem> ParseRegistryLine(std::string_view line);

// Writes one registry line. Fields come from the shared field splitter; fields after the fifth
// are ignored. Root names are HKLM, HKCR, HKCU and HKU, exact case. The key is created with
// every missing parent. Type "hex" stores the first 8 data characters, read as 4 pairs of
// lower-case hexadecimal digits, as 4 binary bytes; "inc" stores the current 4-byte value plus
// one (1 when it cannot be read) as a number; any other type stores the data as text. Nothing is
// reported: a short line, an unknown root, a key that cannot be created, an invalid hex text or
// a failed write leave the registry as it was.
void ApplyRegistryLine(platform::Registry& registry, std::string_view line);

// Expands a registry line and writes it to registry; the stop, with nothing written, for an
// undefined variable.
Completion ApplyExpandedRegistryLine(const ExpansionSources& sources, platform::Registry& registry, std::string_view line);

// The registry stage: every [REGISTRY] line (the reader keeps [REGISTRYNET] in the same list),
// the working-folder line of a two-line [WORKINGDIR], and, unless the installation goes over an
// existing one, the installed version under the product's Setup key, each after variable
// substitution. An undefined variable in a line stops the stage before that line is written.
Completion RunRegistryStage(const ExpansionSources& sources, const RunFlags& flags, platform::Registry& registry);

}  // namespace rvx::installer
