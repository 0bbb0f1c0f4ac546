// The medium builder of the host tools: a product folder and a script template become a complete
// installation medium. The template's [FILES] lines may leave their size out or name a folder or
// a wildcard; the builder stores each file plain or compressed, fills in the sizes and [SIZE],
// splits the files into disks by capacity with their marker lines and marker files, places the
// installer, the uninstaller and the language libraries, and checks the finished script.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/script_checker.h"

namespace rvx::host {

enum class MediumLayout {
    single,           // everything in the medium's root
    disk_folders,     // \DISK1\, \DISK2\, ... on one medium: the installer switches without asking
    underscore_disks, // \_DISK_1\, \_DISK_2\, ...: the installer asks for each further disk
    floppies,         // one folder per floppy disk (floppy1, floppy2, ...), each a disk's root
};

struct BuildRequest {
    std::string product;    // host folder of the product's files
    std::string script;     // host path of the script template
    std::string output;     // host folder of the medium; must not exist yet or be empty
    // Files stored compressed: "*" for all, or patterns of names ("*.exe"), empty for none.
    std::vector<std::string> compress;
    // With it, a file the patterns name is stored plain when its compressed form would not be
    // smaller (tiny files, data that is compressed already).
    bool compress_only_smaller = false;
    MediumLayout layout = MediumLayout::single;
    uint64_t capacity = 0;  // bytes per disk; 0: no limit (floppies: 1,457,664)
    std::string label;      // the [DISKID] text ("Product disk %s"); empty: the template's
    // Where the installer and the uninstaller come from: a Windows build folder (Rovexa.exe,
    // Dismara.exe and any language libraries below it), or empty for the host stand-ins. The
    // build's Dismara.exe takes the place of a file of that name in the product folder.
    std::string windows_build;
    // Without a Windows build: the folder of the host build's language libraries (its
    // languages folder), or empty for none.
    std::string languages;
    // Files put beside the script as they are (an answer file, a read-me): host paths.
    std::vector<std::string> beside_script;
};

struct BuildResult {
    bool built = false;
    bool unreadable = false;  // an input could not be read at all
    std::vector<std::string> errors;  // why nothing was built
    CheckReport check;                // the finished script's check
    std::vector<std::string> notes;   // what was placed or left out, for the user
    int disks = 0;
    uint64_t expanded_bytes = 0;
    uint64_t stored_bytes = 0;
};

// Progress lines ("disk 2: program\app.exe"), for long builds.
using BuildProgress = std::function<void(const std::string&)>;

BuildResult BuildMedium(const BuildRequest& request, const BuildProgress& progress = {});

// The host folder of disk n (from 1) of a built medium, where its script lies on disk 1.
std::string DiskFolder(const BuildRequest& request, int disk);

}  // namespace rvx::host
