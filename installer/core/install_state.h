// The install state: folders, user data, answers, flags and source layout that every stage of
// the installer reads and writes. It belongs to the one InstallApp object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/result.h"

namespace rvx::installer {

struct Folders {
    std::string source;                 // folder of the running installer, upper case, ends in "\"
    std::string script_path;            // full path of the install script; empty until it is located
    std::string default_folder;         // proposed installation folder
    std::string installation;           // where the software goes
    std::string installation_copy;      // the same folder as set by the previous-installation step
    std::string installation_drive_root;  // "C:\"
    std::string previous_installation;  // an earlier installation found by the search
    std::string documents;              // folder for the user's documents, "%WRKPATH%"
    std::string program_files;          // the system's program files folder
    std::string windows_drive;          // "C:"
    std::string source_drive;           // drive letter of the source folder, shown in the disk prompt
    std::string installed_version;      // version text of an earlier installation
};

struct UserData {
    std::string name;
    std::string company;
};

struct Answers {
    bool unattended = false;            // an answer file was read successfully
    int install_mode = 0;               // stored, not used
    int desktop_shortcut_answer = 0;    // non-zero asks for the desktop shortcuts
    std::string folder;                 // installation folder from the answer file
    std::string documents_folder;
    std::string name;
    std::string company;
    bool desktop_shortcut_choice = false;  // the success page's check box or the answer
    bool launch_choice = false;            // the success page's "[AUTOLAUNCH]" check box
};

struct RunFlags {
    bool update = false;
    bool patch = false;
    bool install_over = false;
    bool install_over_companion = false;
    bool no_same_version_question = false;
    bool network_install = false;
    bool no_search = false;
    bool administrator_rights = false;
    bool nt_only = false;
    bool no_windows_95 = false;
    bool allow_version_update = false;
    bool publisher_update = false;
    bool desktop_shortcut_on = false;
    bool restart = false;
    bool restart_now = false;  // the restart was accepted: the computer restarts at the very end
};

struct SourceLayout {
    bool hard_disk_layout = false;  // the source folder contains "\_DISK_1\"
    bool disk_folder_layout = false;  // the source folder contains "\DISK1\"
    bool removable = false;           // on A: or B:, or either layout
};

// Where the copy stage stands: source disks, byte totals for the progress bars, the file being
// copied, and what it hands on to later stages.
struct CopyState {
    int disk_count = 1;
    int current_disk = 0;          // 1-based disk group being copied; 0 before the first one
    int64_t group_bytes_total = 0; // expanded bytes of the current disk group
    int64_t group_bytes_done = 0;
    std::string current_file;      // destination of the file being copied, for messages
    std::vector<std::string> fonts_already_present;  // font files the same-font rule skipped
    // The last file operation of the copy that failed, which picks the reason shown with a failure.
    platform::Status last_failure = platform::Status::ok;
};

struct Colours {
    int red = 0;
    int green = 0;
    int blue = 255;
};

}  // namespace rvx::installer
