// Finding the program of a command line.
#include "platform/sandbox/program_lookup.h"

#include "common/text/path_helpers.h"
#include "common/text/text.h"

namespace rvx::sandbox {

std::string WithProgramExtension(std::string name) {
    const size_t last_separator = name.find_last_of("\\/:");
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || (last_separator != std::string::npos && dot < last_separator)) name += ".exe";
    return name;
}

std::vector<std::string> ProgramCandidates(std::string_view command_line) {
    std::string_view line = text::TrimBlanks(command_line);
    std::vector<std::string> candidates;
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        const std::string_view name = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        if (!name.empty()) candidates.push_back(WithProgramExtension(std::string(name)));
        return candidates;
    }
    for (size_t i = 0; i < line.size(); ++i) {
        if (text::IsBlank(line[i]) && !text::IsBlank(line[i - 1])) candidates.push_back(WithProgramExtension(std::string(line.substr(0, i))));
    }
    if (!line.empty()) candidates.push_back(WithProgramExtension(std::string(line)));
    return candidates;
}

bool NamesAFolder(std::string_view name) { return name.find_first_of("\\/:") != std::string_view::npos; }

std::vector<std::string> SearchFolders(const SearchPlaces& places) {
    std::vector<std::string> folders;
    auto add = [&folders](std::string_view folder) {
        folder = text::TrimBlanks(folder);
        if (!folder.empty()) folders.push_back(path::RemoveTrailingBackslash(folder));
    };
    add(places.program_folder);
    add(places.current_folder);
    add(places.system_folder);
    if (!places.windows_folder.empty()) add(path::Join(places.windows_folder, "SYSTEM"));
    add(places.windows_folder);
    std::string_view rest = places.path_variable;
    while (!rest.empty()) {
        const size_t semicolon = rest.find(';');
        add(rest.substr(0, semicolon));
        rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
    }
    return folders;
}

}  // namespace rvx::sandbox
