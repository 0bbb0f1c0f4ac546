// Reading uninstall entries and splitting their command lines.
#include "host/uninstall_entry.h"

#include <algorithm>

#include "common/text/text.h"
#include "platform/sandbox/program_lookup.h"

namespace rvx::host {

namespace {

std::string TextValue(platform::Registry& registry, const std::string& key, const char* name) {
    auto value = registry.ReadValue(platform::RootKey::local_machine, key, name);
    if (!value) return {};
    return value->AsText().value_or("");
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && text::IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

}  // namespace

std::vector<UninstallEntry> ReadUninstallEntries(platform::Registry& registry) {
    std::vector<UninstallEntry> entries;
    auto names = registry.SubkeyNames(platform::RootKey::local_machine, kUninstallKey);
    if (!names) return entries;
    for (const auto& name : names.value()) {
        const std::string key = std::string(kUninstallKey) + "\\" + name;
        entries.push_back({name, TextValue(registry, key, "DisplayName"), TextValue(registry, key, "UninstallString")});
    }
    return entries;
}

std::optional<UninstallEntry> FindUninstallEntry(const std::vector<UninstallEntry>& entries, std::string_view name) {
    for (const auto& entry : entries)
        if (text::EqualsIgnoreCase(entry.key, name)) return entry;
    for (const auto& entry : entries)
        if (!entry.display_name.empty() && text::EqualsIgnoreCase(entry.display_name, name)) return entry;
    return std::nullopt;
}

UninstallCommand SplitUninstallString(std::string_view text,
                                      const std::function<std::optional<std::string>(const std::string&)>& find_file) {
    const std::string_view line = SkipBlanks(text);
    UninstallCommand command;
    // Only the blanks between program and arguments go; the arguments stay as they stand.
    auto arguments_after = [&line](size_t end) { return std::string(SkipBlanks(line.substr(std::min(end, line.size())))); };
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        const std::string name(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        const auto found = find_file(sandbox::WithProgramExtension(name));
        command.program = found.value_or(name);
        command.found = found.has_value();
        command.arguments = close == std::string_view::npos ? std::string() : arguments_after(close + 1);
        return command;
    }
    for (size_t end = 1; end <= line.size(); ++end) {
        if (end < line.size() && !(text::IsBlank(line[end]) && !text::IsBlank(line[end - 1]))) continue;
        if (auto found = find_file(sandbox::WithProgramExtension(std::string(line.substr(0, end))))) {
            command.program = *found;
            command.found = true;
            command.arguments = arguments_after(end);
            return command;
        }
    }
    // Nothing names a file: report the first name, which is what the user would look for.
    size_t end = 0;
    while (end < line.size() && !text::IsBlank(line[end])) ++end;
    command.program = std::string(line.substr(0, end));
    command.arguments = arguments_after(end);
    return command;
}

}  // namespace rvx::host
