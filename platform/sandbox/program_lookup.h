// Which program a command line starts, as the system's process creation decides it: the names
// the line can begin with, in the order they are tried, and the folders a name without a folder
// is looked for in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rvx::sandbox {

// A line that begins with a double quote names the program up to the next double quote. An
// unquoted line is tried up to each run of blanks in turn and then whole, so that
// C:\Program Files\A.exe finds C:\Program.exe first when that exists, as on the system.
// ".exe" is appended to a name whose last component has no extension. Empty names are left out.
std::vector<std::string> ProgramCandidates(std::string_view command_line);

// The name with ".exe" appended when its last component has no extension, as the system's
// process creation tries it.
std::string WithProgramExtension(std::string name);

// True when a name says where it lies (it has a folder or a drive) and is not searched for.
bool NamesAFolder(std::string_view name);

struct SearchPlaces {
    std::string program_folder;  // folder of the program that starts the other
    std::string current_folder;
    std::string system_folder;
    std::string windows_folder;
    std::string path_variable;   // the PATH environment variable, folders separated by ";"
};

// The folders searched, in the system's order: the starting program's folder, the current
// folder, the system folder, the 16-bit system folder (SYSTEM in the Windows folder), the
// Windows folder, then each folder of PATH. Empty entries are left out.
std::vector<std::string> SearchFolders(const SearchPlaces& places);

}  // namespace rvx::sandbox
