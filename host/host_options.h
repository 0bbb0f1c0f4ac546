// Command-line options shared by the host programs that run a Windows program on a simulated
// machine: the machine folder, how the user interface is answered, and the Windows arguments.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rvx::host {

struct RunOptions {
    std::string machine;                  // --machine DIR
    std::string ui = "console";           // --ui console | script:FILE
    std::string medium;                   // --medium HOSTDIR (installer only)
    char medium_drive = 'D';              // --medium-drive LETTER
    std::string medium_type = "cdrom";    // --medium-type cdrom|removable|fixed|network
    bool medium_writable = false;         // --medium-writable
    // --disk HOSTDIR, once for each further disk of a medium of several (floppies): the medium
    // is then disk 1, in drive A: (removable) unless --medium-drive and --medium-type say else.
    std::vector<std::string> disks;
    std::string program;                  // --program WINDOWS-PATH
    std::string cwd;                      // --cwd WINDOWS-FOLDER
    std::vector<std::string> arguments;   // after "--"
    // The program's Windows command line exactly as given, used instead of the arguments
    // (simmachine uninstall passes an uninstall entry's text unchanged).
    std::optional<std::string> command_line;
    bool help = false;
};

struct OptionSpec {
    bool accepts_medium = false;
    bool accepts_cwd = false;
};

// Parses argv; on an error returns the message to print.
std::optional<std::string> ParseRunOptions(int argc, char** argv, const OptionSpec& accepted, RunOptions& options);

// The Windows command line made of the arguments: joined by blanks, those holding a blank quoted.
std::string WindowsCommandLine(const std::vector<std::string>& arguments);

}  // namespace rvx::host
