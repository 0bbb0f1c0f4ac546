// The name index's other watches: the folders above each drive's folder, and the files the
// machine holds open.
#include "platform/sandbox/folder_name_index.h"

#include <sys/inotify.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace rvx::sandbox {

FolderNameIndex::Entry FolderNameIndex::KnownDriveFolder(const std::string& path) {
    auto chain = chains_.find(path);
    if (chain == chains_.end()) return nullptr;
    auto folder = folders_.find(path);
    if (folder == folders_.end() || folder->second.device != chain->second.device || folder->second.inode != chain->second.inode)
        return nullptr;
    Touch(folder->second);
    return &folder->second;
}

FolderNameIndex::Entry FolderNameIndex::EnterDriveFolder(const std::string& path, dev_t device, ino_t inode) {
    Entry entry = Enter(path, device, inode);
    if (!entry) return nullptr;
    auto chain = chains_.find(path);
    if (chain != chains_.end() && (chain->second.device != device || chain->second.inode != inode)) {
        ReleaseWatches(chain->second.watches);
        chains_.erase(chain);
        chain = chains_.end();
    }
    if (chain == chains_.end()) WatchChain(path, device, inode);
    return entry;
}

bool FolderNameIndex::WatchChain(const std::string& path, dev_t device, ino_t inode) {
    // Only a plain absolute path names the same folder whatever the current folder or a link says.
    if (path.size() < 2 || path.front() != '/' || path.back() == '/') return false;
    for (size_t at = 0; at < path.size();) {
        const size_t end = std::min(path.find('/', at + 1), path.size());
        const std::string_view name = std::string_view(path).substr(at + 1, end - at - 1);
        if (name.empty() || name == "." || name == "..") return false;
        at = end;
    }
    DriveChain chain{device, inode, {}};
    // From the top down: a folder replaced after its parent's watch is noted by that watch, and
    // one replaced before it is found out by the final check.
    for (size_t cut = 0; cut != std::string::npos; cut = path.find('/', cut + 1)) {
        const std::string above = cut == 0 ? std::string("/") : path.substr(0, cut);
        const int watch = queue_.Watch(above, kFolderChanges | IN_DONT_FOLLOW);
        if (watch < 0) {
            ReleaseWatches(chain.watches);
            return false;
        }
        AncestorWatch& use = ancestors_[watch];
        if (use.users++ == 0) use.path = above;
        chain.watches.push_back(watch);
    }
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_dev != device || info.st_ino != inode) {
        ReleaseWatches(chain.watches);
        return false;
    }
    // What changes from now on is queued for the next Refresh to apply.
    chains_.insert_or_assign(path, std::move(chain));
    return true;
}

void FolderNameIndex::ReleaseWatches(const std::vector<int>& watches) {
    for (const int watch : watches) {
        auto use = ancestors_.find(watch);
        if (use == ancestors_.end() || --use->second.users > 0) continue;
        ancestors_.erase(use);
        RemoveWatchUnlessUsed(watch);
    }
}

void FolderNameIndex::BreakChainsThrough(const std::string& host_path) {
    for (auto chain = chains_.begin(); chain != chains_.end();) {
        const std::string& drive = chain->first;
        const bool through = host_path == "/" || drive == host_path ||
                             (drive.size() > host_path.size() && drive.compare(0, host_path.size(), host_path) == 0 &&
                              drive[host_path.size()] == '/');
        if (!through) {
            ++chain;
            continue;
        }
        ++layout_generation_;
        const std::vector<int> watches = std::move(chain->second.watches);
        chain = chains_.erase(chain);
        ReleaseWatches(watches);
    }
}

void FolderNameIndex::RemoveWatchUnlessUsed(int watch) {
    if (ancestors_.count(watch) || watched_paths_.count(watch) || open_files_.count(watch)) return;
    // The watch's own end (IN_IGNORED) arrives later and finds nothing.
    queue_.Unwatch(watch);
}

int FolderNameIndex::WatchOpenFile(const std::string& host_path) {
    // Link counts change with a removal and with a file moved over this one.
    // Something watched already (a folder after all) keeps its own watch as it is.
    const int watch = queue_.Watch(host_path, IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF | IN_MASK_CREATE);
    if (watch < 0) return -1;
    open_files_[watch] = true;
    return watch;
}

bool FolderNameIndex::FileUnchanged(int watch) {
    Refresh();
    auto file = open_files_.find(watch);
    return file != open_files_.end() && file->second;
}

void FolderNameIndex::FileChecked(int watch) {
    if (auto file = open_files_.find(watch); file != open_files_.end()) file->second = true;
}

void FolderNameIndex::UnwatchFile(int watch) {
    if (open_files_.erase(watch) != 0) RemoveWatchUnlessUsed(watch);
}

}  // namespace rvx::sandbox
