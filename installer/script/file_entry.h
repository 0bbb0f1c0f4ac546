// One line of the script's file list, parsed: where the file comes from, where it goes, and what
// its flag and attribute letters ask for. The space estimate, the copy engine and the uninstall
// log all parse lines through ParseFileLine, so that they agree on paths and flags.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "installer/script/expansion.h"
#include "installer/script/variables.h"

namespace rvx::installer {

struct FileEntry {
    std::string source_path;    // full path of the stored file (its plain name)
    std::string relative_name;  // the source name as written, or its last component after a leading "\"
    std::string dest_folder;    // without a trailing "\"
    std::string dest_path;

    bool version_check = false;    // V
    bool date_check = false;       // S
    bool only_if_missing = false;  // N
    bool font_check = false;       // F
    bool delayed_replace = false;  // D
    bool shared_file = false;      // C
    bool keep_on_uninstall = false;  // U
    bool example_link = false;     // L

    uint32_t attributes = 0;  // read-only 1, hidden 2, system 4
    int64_t size = 0;  // expanded bytes as the script declares them; 0 when not given (64 bits: no overflow)
};

// A line of the file list that opens a disk group ("#2").
inline bool IsDiskMarker(std::string_view line) { return !line.empty() && line[0] == '#'; }

// The file list's own field splitter: "," separates, fields are trimmed of blanks and tabs, two
// commas give an empty field; quotes mean nothing here.
std::vector<std::string> SplitFileLineFields(std::string_view line);

// Parses a file line against the source and installation folders; variables in the destination
// and in the finished paths are expanded (an undefined one gives the stop), and a shared file's
// destination is under the machine's common-files folder.
OrStop<FileEntry> ParseFileLine(const ExpansionSources& sources, std::string_view line);

// Where the example shortcut of a file line with the letter L is made, without its ".lnk": the
// examples folder followed by the line's relative name. The copy makes it and the uninstall
// record names it, so both must agree.
Expansion ExampleShortcutPath(const ExpansionSources& sources, const FileEntry& entry);

}  // namespace rvx::installer
