// The names of host folders, indexed ignoring case, so that resolving a Windows path does not read
// a whole folder each time a name is missing in the exact case. Each indexed folder is watched by
// the kernel (inotify): every creation, deletion and move in it, by this process or any other,
// is queued before the call that made it returns, and is applied to the index before the next
// lookup. A lookup therefore answers what reading the folder would answer at that moment. When
// the kernel cannot watch (no inotify instance or watch left, a queue overflow), the folders
// concerned are read again as before.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rvx::sandbox {

class FolderNameIndex {
public:
    // At most this many folders are indexed at once; the least recently used one is dropped.
    static constexpr size_t kDefaultCapacity = 512;

    explicit FolderNameIndex(size_t capacity = kDefaultCapacity);
    ~FolderNameIndex();
    FolderNameIndex(const FolderNameIndex&) = delete;
    FolderNameIndex& operator=(const FolderNameIndex&) = delete;

    // Applies the changes queued since the last call; the lookups after it answer as of now. A
    // resolution of a path calls it once and then looks up each of its names.
    void Refresh();

    // The name of an entry of folder (an existing host folder, whose device and inode the caller
    // has just read) that equals wanted ignoring case, the exact name first; empty when none does.
    std::string FindIgnoringCase(const std::string& folder, dev_t device, ino_t inode, const std::string& wanted);

    // When parent (a folder of this resolution, found as it is now) lists name as a folder that
    // is indexed since parent's entry holds it, that folder's device and inode, true; nothing
    // needs to be read from the host. False when the host must be asked (a name that is a
    // symbolic link or no folder, a folder not indexed yet or indexed before its parent was).
    bool KnownSubfolder(const std::string& parent, const std::string& name, dev_t& device, ino_t& inode) const;

    // False when the kernel gave no watch service: every lookup reads the folder.
    bool watching() const { return notify_fd_ >= 0; }
    size_t indexed_folders() const { return folders_.size(); }
    // Folders read whole since this object was made (for tests and the bench).
    uint64_t folder_reads() const { return folder_reads_; }

private:
    struct Name {
        std::string name;
        bool folder = false;  // a folder itself, not a link to one
    };
    struct Folder {
        std::string path;
        dev_t device = 0;
        ino_t inode = 0;
        int watch = -1;
        uint64_t serial = 0;         // this entry's, unique
        uint64_t parent_serial = 0;  // the parent's entry's when this one was made from it
        // Upper-case name -> the names of the folder that have it, in the order the folder lists them.
        std::unordered_map<std::string, std::vector<Name>> names;
        std::list<std::string>::iterator recent;  // place in recent_
    };

    void AddName(Folder& folder, std::string_view name, bool is_folder);
    // A name that comes or goes takes the index of the folder it named with it.
    void RemoveName(Folder& folder, std::string_view name);
    // Reads the folder whole into a new index entry; nullptr when it cannot be watched or read.
    Folder* Index(const std::string& path, dev_t device, ino_t inode);
    void Drop(std::string path);  // a copy: callers pass names this erases
    void DropAll();

    size_t capacity_;
    int notify_fd_ = -1;
    std::unordered_map<std::string, Folder> folders_;     // by host path
    std::unordered_map<int, std::string> watched_paths_;  // watch -> host path
    std::list<std::string> recent_;                       // most recently used first
    uint64_t folder_reads_ = 0;
    uint64_t next_serial_ = 1;
};

// Reads folder whole: the entry that equals wanted ignoring case, the exact name first.
std::string ScanFolderIgnoringCase(const std::string& folder, const std::string& wanted);

}  // namespace rvx::sandbox
