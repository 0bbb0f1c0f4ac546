// File-type associations on the simulated machine.
#include "platform/sandbox/file_association.h"

#include "common/text/path_helpers.h"

namespace rvx::sandbox {

namespace {

constexpr std::string_view kOpenCommandKey = "\\shell\\open\\command";

std::optional<std::string> DefaultText(platform::Registry& registry, std::string_view key) {
    auto value = registry.ReadValue(platform::RootKey::classes_root, key, "");
    if (!value) return std::nullopt;
    auto text = value->AsText();
    if (!text || text->empty()) return std::nullopt;
    return text;
}

}  // namespace

std::optional<std::string> OpenCommandOf(platform::Registry& registry, std::string_view type_key) {
    const auto type = DefaultText(registry, type_key);
    if (!type) return std::nullopt;
    return DefaultText(registry, *type + std::string(kOpenCommandKey));
}

std::string CommandLineFor(std::string_view command, std::string_view target) {
    std::string line;
    bool placed = false;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '%' && i + 1 < command.size() && (command[i + 1] == '1' || command[i + 1] == 'L')) {
            line += target;
            placed = true;
            ++i;
        } else {
            line += command[i];
        }
    }
    if (!placed) line += " " + std::string(target);
    return line;
}

std::string TypeKeyOf(std::string_view file_name) {
    const std::string name = path::NameOf(file_name);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace rvx::sandbox
