// A simulated Windows machine kept in a host folder:
//   machine.ini    what the machine is (Windows family, folders, drives, rights, ...)
//   registry.reg   the whole registry, in the registry editor's text format
//   drives/<L>/    the files of each drive that is not mapped to another host folder
//   journal.log    actions the files and registry cannot show, and the user-interface transcript
//   file-attributes.ini  attributes and creation times of files that differ from a new file's
// A Machine is opened once per program run; a ProgramSession binds the platform services of
// one program (its path, command line, texts and user interface) to it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "common/text/string_table.h"
#include "platform/platform.h"
#include "platform/sandbox/drive_space.h"
#include "platform/sandbox/file_metadata.h"
#include "platform/sandbox/folder_name_index.h"
#include "platform/sandbox/host_file.h"
#include "platform/sandbox/journal.h"
#include "platform/sandbox/machine_config.h"
#include "platform/sandbox/responder.h"
#include "platform/sandbox/screen_state.h"

namespace rvx::sandbox {

class SandboxRegistry;

// A medium of several disks (a set of floppies) for one drive, which holds one of them at a time.
struct DiskSet {
    DriveConfig drive;                 // the drive; its host folder is that of the disk in it
    std::vector<std::string> folders;  // the host folders of disks 1, 2, ...
};

class Machine {
public:
    ~Machine();
    // Opens the machine in folder. A folder that does not exist (or is empty) first becomes the
    // default machine. A malformed machine.ini or registry.reg is an error naming the file and
    // line, and nothing in the folder is changed.
    static platform::Result<std::unique_ptr<Machine>> Open(const std::string& folder);
    // Writes a new machine into folder (which must not hold one yet).
    static platform::Outcome Create(const std::string& folder, const MachineConfig& config);

    // Maps a drive to a host folder for this run only (the installation medium); machine.ini is
    // not changed and nothing about the drive's files is kept.
    platform::Outcome Mount(const DriveConfig& drive);
    // Offers a medium of several disks for this run only, with disk 1 in its drive (journaled
    // as MOUNT); the user changes the disk with InsertDisk.
    platform::Outcome OfferDisks(DiskSet set);
    // Puts disk number (from 1) of the offered set into its drive, journaled as DISK.
    platform::Outcome InsertDisk(int number);
    const std::optional<DiskSet>& disk_set() const { return disk_set_; }

    // Writes what the machine keeps in memory while programs run: the files in use into
    // machine.ini, changing only those lines; the attributes and creation times into
    // file-attributes.ini. Nothing is written when nothing changed. A program's session ends
    // with it, and so does the Machine. Free space is never written: it follows from the
    // drives' sizes and what their folders hold.
    platform::Outcome SaveState();

    const std::string& folder() const { return folder_; }
    MachineConfig& config() { return config_; }
    Journal& journal() { return journal_; }
    platform::Registry& registry();
    FileMetadataStore& metadata() { return metadata_; }
    DriveSpace& space() { return space_; }
    // The size of the file a program of the machine closed last, while nothing changed since.
    LastClosedFile& last_closed() { return last_closed_; }
    // The drives' folder names, indexed for the case-insensitive lookups of this run.
    FolderNameIndex& folder_names() { return folder_names_; }

private:
    Machine(std::string folder, MachineConfig config, FileMetadataStore metadata);
    // Maps the drive to its host folder; the folder it maps, made absolute.
    platform::Result<std::string> MapDrive(const DriveConfig& drive);

    std::string folder_;
    MachineConfig config_;
    FolderNameIndex folder_names_;  // before the journal, which watches its file through it
    Journal journal_;
    std::unique_ptr<SandboxRegistry> registry_;
    FileMetadataStore metadata_;
    DriveSpace space_;
    LastClosedFile last_closed_;
    std::vector<std::string> saved_files_in_use_;  // as machine.ini lists them
    std::optional<DiskSet> disk_set_;
};

struct ProgramStart {
    std::string program_path;   // Windows path of the running program
    std::string command_line;   // its arguments, as Windows passes them
    std::string current_folder; // empty: the program's own folder
    std::span<const text::StringEntry> strings;  // the program's built-in texts
    std::span<const platform::DialogDescription* const> dialogs = {};  // and its built-in dialogs
};

// The platform services of one program on a machine.
class ProgramSession {
public:
    // observer, when given, is told when the screen is worth a picture; it must outlive the session.
    ProgramSession(Machine& machine, const ProgramStart& start, Responder& responder, ScreenObserver* observer = nullptr);
    ~ProgramSession();
    platform::Platform& platform() { return *platform_; }

private:
    struct Services;
    Machine& machine_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<platform::Platform> platform_;
};

}  // namespace rvx::sandbox
