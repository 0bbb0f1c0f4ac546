// The names of host folders, indexed ignoring case, so that resolving a Windows path does not read
// a whole folder each time a name is missing in the exact case. Each indexed folder is watched by
// the kernel (inotify): every creation, deletion and move in it, by this process or any other,
// is queued before the call that made it returns, and is applied to the index before the next
// lookup. A lookup therefore answers what reading the folder would answer at that moment. The
// files the machine itself makes and removes are applied as it does so; their notes, counted,
// are read only with the next note nobody expected, or once enough of them wait. When the
// kernel cannot watch (no inotify instance or watch left, a queue overflow), the folders
// concerned are read again as before.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/sandbox/change_queue.h"
#include "platform/sandbox/host_entry_kind.h"
#include "platform/sandbox/name_filter.h"

namespace rvx::sandbox {

class FolderNameIndex {
    struct Folder;
    // Looks up string keys by any text, without making a string of it.
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

public:
    // At most this many folders are indexed at once; the least recently used one is dropped.
    static constexpr size_t kDefaultCapacity = 512;

    explicit FolderNameIndex(size_t capacity = kDefaultCapacity);
    FolderNameIndex(const FolderNameIndex&) = delete;
    FolderNameIndex& operator=(const FolderNameIndex&) = delete;

    // Applies the changes queued since the last call; the lookups after it answer as of now. A
    // resolution of a path calls it once and then looks up each of its names.
    void Refresh();

    // An indexed folder's entry. It stays valid until the next Refresh or Enter (either may drop
    // it); what Find returns from it only until the next call of any kind.
    using Entry = const Folder*;

    // The entry of the folder at path, an existing host folder whose device and inode the caller
    // has just read; indexed now when it is not yet (or was another folder then). nullptr when it
    // cannot be watched or read: the caller reads the folder itself.
    Entry Enter(const std::string& path, dev_t device, ino_t inode);

    struct Match {
        enum class Result { missing, found, ask_host } result = Result::missing;
        const std::string* name = nullptr;  // found: the name as the folder spells it
        HostEntryKind kind = HostEntryKind::unknown;
        // A found folder whose own entry was made from this one while it held the name: every
        // change of the name since then has been seen (and would have dropped that entry).
        Entry subfolder = nullptr;
        bool unique = false;  // found: no other name of the folder differs from it in case only
    };
    // The name of folder's entries that equals wanted ignoring case, the exact name first.
    // ask_host when several names differ in case only: which one the folder lists first is the
    // folder's business, so the caller reads it (ScanFolderIgnoringCase).
    Match Find(Entry folder, std::string_view wanted);

    // A drive's folder, indexed with every folder above it watched as well: whatever takes the
    // folder away or puts another at its path (a move or removal of it or of any folder above
    // it) is then queued too, so a lookup of it needs no look at the host. Its own note of a
    // removal may come late (only once every process holding it open lets it go); its parent's
    // note of the name's removal does not. Neither tells of a file system mounted over one of
    // those folders while the program runs. KnownDriveFolder answers nullptr unless the folder at
    // path is held so and nothing has changed it since: then the caller reads the host folder
    // and hands it to EnterDriveFolder, which is Enter and, for an absolute path through no link,
    // also watches the folders above it.
    Entry KnownDriveFolder(const std::string& path);
    Entry EnterDriveFolder(const std::string& path, dev_t device, ino_t inode);

    // Enter and Find in one, reading the folder when the index cannot answer; empty when no name
    // matches.
    std::string FindIgnoringCase(const std::string& folder, dev_t device, ino_t inode, const std::string& wanted);

    // Reads folder whole for wanted (ScanFolderIgnoringCase), counted in folder_reads.
    std::string ReadFolderIgnoringCase(const std::string& folder, const std::string& wanted);

    // When parent (an indexed folder) lists name exactly as a folder whose entry was made from
    // parent's, that folder's device and inode, true; false when the host must be asked.
    bool KnownSubfolder(const std::string& parent, const std::string& name, dev_t& device, ino_t& inode) const;

    // A file this program has just made at host_path (its folder's path, "/", its name): known to
    // be no folder without asking the host. The kernel's note of the same creation, read later,
    // leaves that as it is; what others do to the name afterwards is queued after it.
    // made_by_the_call: the call that opened it made the name (it did not find it there), so
    // the kernel queued exactly one note of it, which need not be read before the next lookup.
    void NoteCreatedFile(const std::string& host_path, bool made_by_the_call);
    // A file this program has just removed from host_path (the host's call succeeded, so the
    // kernel queued exactly one note of it): gone from the index at once.
    void NoteRemovedFile(const std::string& host_path);

    // A folder a path resolution reached from its drive's folder, and the names it found on the
    // way (each the only one of its case in its folder), as long as nothing that could change how
    // such a path resolves has happened since: no indexed folder dropped, no drive folder's
    // chain broken, no name that is or may be a folder gone, no name changed, no second name of
    // a case. A file made or removed beside them changes nothing.
    struct ResolvedFolder {
        char drive = 0;
        std::string drive_host;          // the drive's host folder then
        std::vector<std::string> names;  // as the folders spell them
        std::string host;                // the folder's host path
        Entry entry = nullptr;
        uint64_t generation = 0;
    };
    // The one of the last folders resolved that names[0, count) on drive (now at drive_host)
    // names ignoring case; nullptr when none still holds.
    const ResolvedFolder* FindResolved(char drive, const std::string& drive_host, const std::vector<std::string>& names,
                                       size_t count) const;
    void NoteResolved(char drive, const std::string& drive_host, std::vector<std::string> names, std::string host, Entry entry);

    // Watches the file at host_path, which the caller holds open, for whatever could take that
    // name from it (a removal, a move, another name given to it or a file moved over it):
    // FileUnchanged answers true while nothing of the kind came, after applying the queue. -1
    // when it cannot watch; then the caller asks the host each time.
    int WatchOpenFile(const std::string& host_path);
    bool FileUnchanged(int watch);
    // The caller asked the host after a change and still holds the file by its name: watched
    // as unchanged again from now on.
    void FileChecked(int watch);
    void UnwatchFile(int watch);

    // False when the kernel gave no watch service: every lookup reads the folder.
    bool watching() const { return queue_.open(); }
    size_t indexed_folders() const { return folders_.size(); }
    // Drive folders whose chain of folders above is watched now (for tests).
    size_t watched_drive_folders() const { return chains_.size(); }
    // Folders read whole since this object was made (for tests and the bench).
    uint64_t folder_reads() const { return folder_reads_; }
    // Reads of the change queue since this object was made (for tests).
    uint64_t queue_reads() const { return queue_.reads(); }

private:
    struct Name {
        std::string name;
        HostEntryKind kind = HostEntryKind::unknown;
        uint64_t subfolder_serial = 0;  // the entry made from this one for the folder of this name
    };
    struct Folder {
        std::string path;
        dev_t device = 0;
        ino_t inode = 0;
        int watch = -1;
        uint64_t serial = 0;         // this entry's, unique
        uint64_t parent_serial = 0;  // the parent's entry's when this one was made from it
        // Upper-case name -> the names of the folder that have it, in the order the folder lists them.
        std::unordered_map<std::string, std::vector<Name>, TextHash, std::equal_to<>> names;
        NameFilter filter;  // of the keys of names
        std::list<std::string>::iterator recent;  // place in recent_
    };

    // The folders above a drive's folder that are watched for it, and what it was then.
    struct DriveChain {
        dev_t device = 0;
        ino_t inode = 0;
        std::vector<int> watches;
    };
    // A folder above one or more drive folders; its watch may also be an indexed folder's.
    struct AncestorWatch {
        std::string path;
        int users = 0;
    };

    // Whatever changes which names a folder holds, and what ends the folder's watch.
    static const uint32_t kFolderChanges;

    static const Name* ExactName(const Folder& folder, std::string_view name);
    // The indexed folder that holds host_path, and the name in it; nullptr when it is not indexed.
    Folder* IndexedFolderOf(const std::string& host_path, std::string_view& name);
    // One note more in the queue that the index applied when its change was made. A file made
    // new or removed in a watched folder gives exactly one note, on that folder's watch. Only a
    // folder another process moves away in the instant between the lookup and the host's call
    // could take that note away, while its own move brings one: what is known of that folder
    // may then lag until the waiting notes are read, a fifth of a second later at most.
    void ExpectOwnNote(std::string_view name) { queue_.ExpectOwnNote(name); }
    // Applies one note of the queue to the index.
    void Apply(const ChangeQueue::Note& note);
    void AddName(Folder& folder, std::string_view name, HostEntryKind kind);
    // A name that comes or goes takes the index of the folder it named with it.
    void RemoveName(Folder& folder, std::string_view name);
    // Reads the folder whole into a new index entry; nullptr when it cannot be watched or read.
    Folder* Index(const std::string& path, dev_t device, ino_t inode);
    void Touch(const Folder& folder);
    void Drop(std::string_view path);
    void DropAll();
    // Watches the folders above the drive folder at path (absolute, through no link), which
    // has the given device and inode; false when it cannot.
    bool WatchChain(const std::string& path, dev_t device, ino_t inode);
    void ReleaseWatches(const std::vector<int>& watches);
    // Forgets every drive folder whose path is host_path or lies below it.
    void BreakChainsThrough(const std::string& host_path);
    void RemoveWatchUnlessUsed(int watch);

    size_t capacity_;
    ChangeQueue queue_;
    std::unordered_map<std::string, Folder, TextHash, std::equal_to<>> folders_;  // by host path
    std::unordered_map<int, std::string> watched_paths_;  // watch -> host path
    std::unordered_map<uint64_t, Folder*> by_serial_;
    std::unordered_map<std::string, DriveChain> chains_;  // by the drive folder's host path
    std::unordered_map<int, AncestorWatch> ancestors_;    // by watch
    std::unordered_map<int, bool> open_files_;            // watch -> unchanged since the last check
    std::list<std::string> recent_;                       // most recently used first
    std::string note_path_;  // the path a note names, kept for its buffer
    uint64_t folder_reads_ = 0;
    uint64_t layout_generation_ = 1;            // see ResolvedFolder
    std::array<ResolvedFolder, 4> resolved_{};  // the folders last resolved, the oldest replaced first
    size_t next_resolved_ = 0;
    uint64_t next_serial_ = 1;
};

// Reads folder whole: the entry that equals wanted ignoring case, the exact name first.
std::string ScanFolderIgnoringCase(const std::string& folder, const std::string& wanted);

}  // namespace rvx::sandbox
