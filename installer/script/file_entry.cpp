// Parsing the lines of the script's file list.
#include "installer/script/file_entry.h"

#include <algorithm>

#include "common/system/common_files.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/script/variables.h"

namespace rvx::installer {

std::vector<std::string> SplitFileLineFields(std::string_view line) {
    std::vector<std::string> fields;
    fields.reserve(static_cast<size_t>(std::count(line.begin(), line.end(), ',')) + 1);
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        const std::string_view field = line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        fields.emplace_back(text::TrimBlanks(field));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

namespace {

bool Has(std::string_view field, char letter) { return field.find(letter) != std::string_view::npos; }

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

OrStop<FileEntry> ParseFileLine(const ExpansionSources& sources, std::string_view line) {
    std::vector<std::string> fields = SplitFileLineFields(line);
    auto field = [&](size_t index) -> std::string_view { return index < fields.size() ? fields[index] : std::string_view(); };
    const std::string_view name = field(0);
    const std::string& source_folder = sources.folders.source;

    FileEntry entry;
    if (name.empty() || name[0] != '\\') {
        entry.source_path = source_folder + std::string(name);
        entry.relative_name = name;
    } else {
        // A name beginning with "\" is relative to the medium: to the folder above when the
        // installer runs from its "\32\" or "\16\" sub-folder.
        if (EndsWith(source_folder, "\\32\\") || EndsWith(source_folder, "\\16\\"))
            (entry.source_path = source_folder + "..") += name;
        else
            entry.source_path = source_folder + std::string(name.substr(1));
        entry.relative_name = path::NameOf(name);
    }

    const std::string_view flags = field(2);
    entry.version_check = Has(flags, 'V');
    entry.date_check = Has(flags, 'S');
    entry.only_if_missing = Has(flags, 'N');
    entry.font_check = Has(flags, 'F');
    entry.delayed_replace = Has(flags, 'D');
    entry.shared_file = Has(flags, 'C');
    entry.keep_on_uninstall = Has(flags, 'U');
    entry.example_link = Has(flags, 'L');

    const std::string_view attribute_letters = field(3);
    if (Has(attribute_letters, 'R')) entry.attributes |= 1;
    if (Has(attribute_letters, 'H')) entry.attributes |= 2;
    if (Has(attribute_letters, 'S')) entry.attributes |= 4;
    entry.size = text::ParseDecimalPrefix(field(4));

    std::string destination = fields.size() > 1 ? std::move(fields[1]) : std::string();
    if (auto stop = ExpandInPlace(sources, destination)) return std::move(*stop);
    if (destination.empty()) {
        destination = path::AddTrailingBackslash(sources.folders.installation);
    } else if (entry.shared_file) {
        destination = system::CommonFilesFolder(sources.registry, sources.environment.WindowsFolder()) + "\\" + destination;
    } else if (destination.size() < 2 || destination[1] != ':') {
        if (destination[0] == '\\') destination.erase(0, 1);
        destination = path::AddTrailingBackslash(sources.folders.installation) + destination;
    }
    entry.dest_path = destination;
    if (!destination.empty() && destination.back() == '\\') entry.dest_path += entry.relative_name;
    const size_t last = destination.find_last_of('\\');
    entry.dest_folder = last == std::string::npos ? std::string() : destination.substr(0, last);

    for (std::string* path : {&entry.relative_name, &entry.source_path, &entry.dest_path})
        if (auto stop = ExpandInPlace(sources, *path)) return std::move(*stop);
    return entry;
}

Expansion ExampleShortcutPath(const ExpansionSources& sources, const FileEntry& entry) {
    Expansion folder = Expanded(sources, "%EXEMPLEPATH%\\");
    if (folder.stopped()) return folder;
    return *folder + entry.relative_name;
}

}  // namespace rvx::installer
