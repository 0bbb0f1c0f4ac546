// The script checker of the host tools: reads an "Install.ini" exactly as the installer does (its
// own reader and line parsers, on a scratch simulated machine with the medium as drive D:), once
// for every language letter and every variant the script declares, and collects the problems an
// author should fix, each with its line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rvx::host {

enum class Severity { error, warning };

struct Problem {
    std::string file;
    int line = 0;  // 0: the script as a whole
    Severity severity = Severity::error;
    std::string message;
    // The readings that met it ("language E, variant PRO"), when not every reading did.
    std::string readings;
};

struct CheckRequest {
    std::string script;  // host path of the Install.ini
    std::string medium;  // host folder of the medium's root; empty: the script's folder
    // A set of floppy disks: the host folders of disks 2, 3, ... (disk 1 is the medium). The
    // medium is then drive A:, and each disk marker of [FILES] puts its disk in the drive.
    std::vector<std::string> further_disks;
};

struct CheckReport {
    bool unreadable = false;  // the script could not be read at all (the problem says why)
    std::vector<Problem> problems;

    bool HasErrors() const;
};

CheckReport CheckScript(const CheckRequest& request);

}  // namespace rvx::host
