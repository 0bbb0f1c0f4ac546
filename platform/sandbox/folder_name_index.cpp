// The case-insensitive index of host folders' names, kept true by the kernel's change queue.
#include "platform/sandbox/folder_name_index.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "common/text/text.h"

namespace rvx::sandbox {

namespace {

// Whatever changes which names a folder holds, and what ends the folder's watch.
constexpr uint32_t kWatchedChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

bool HostExists(const std::string& host_path) {
    struct stat info;
    return ::stat(host_path.c_str(), &info) == 0;
}

}  // namespace

std::string ScanFolderIgnoringCase(const std::string& folder, const std::string& wanted) {
    if (HostExists(folder + "/" + wanted)) return wanted;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (text::EqualsIgnoreCase(entry->d_name, wanted)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

FolderNameIndex::FolderNameIndex(size_t capacity)
    : capacity_(std::max<size_t>(capacity, 1)), notify_fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderNameIndex::~FolderNameIndex() {
    if (notify_fd_ >= 0) ::close(notify_fd_);
}

std::string FolderNameIndex::FindIgnoringCase(const std::string& folder, dev_t device, ino_t inode, const std::string& wanted) {
    if (notify_fd_ < 0) {
        ++folder_reads_;
        return ScanFolderIgnoringCase(folder, wanted);
    }
    auto known = folders_.find(folder);
    // Another folder now at the same path (the old one moved away or deleted and made again).
    if (known != folders_.end() && (known->second.device != device || known->second.inode != inode)) {
        Drop(folder);
        known = folders_.end();
    }
    Folder* indexed = known != folders_.end() ? &known->second : Index(folder, device, inode);
    if (!indexed) {
        ++folder_reads_;
        return ScanFolderIgnoringCase(folder, wanted);
    }
    recent_.splice(recent_.begin(), recent_, indexed->recent);

    auto names = indexed->names.find(text::ToUpper(wanted));
    if (names == indexed->names.end()) return {};
    const std::vector<Name>& candidates = names->second;
    for (const Name& candidate : candidates)
        if (candidate.name == wanted) return wanted;
    if (candidates.size() == 1) return candidates.front().name;
    // Several names differing in case only: which one the folder lists first is the folder's
    // business, so it is asked.
    ++folder_reads_;
    return ScanFolderIgnoringCase(folder, wanted);
}

bool FolderNameIndex::KnownSubfolder(const std::string& parent, const std::string& name, dev_t& device, ino_t& inode) const {
    auto listed = folders_.find(parent);
    if (listed == folders_.end()) return false;
    auto names = listed->second.names.find(text::ToUpper(name));
    if (names == listed->second.names.end()) return false;
    const auto& candidates = names->second;
    if (std::none_of(candidates.begin(), candidates.end(), [&](const Name& n) { return n.folder && n.name == name; })) return false;
    auto child = folders_.find(parent + "/" + name);
    // Made from this very parent entry: every change of the name since then has been seen (and
    // would have dropped the child's entry).
    if (child == folders_.end() || child->second.parent_serial != listed->second.serial) return false;
    device = child->second.device;
    inode = child->second.inode;
    return true;
}

void FolderNameIndex::AddName(Folder& folder, std::string_view name, bool is_folder) {
    auto& names = folder.names[text::ToUpper(name)];
    for (Name& known : names)
        if (known.name == name) {
            known.folder = is_folder;
            return;
        }
    names.push_back(Name{std::string(name), is_folder});
}

void FolderNameIndex::RemoveName(Folder& folder, std::string_view name) {
    auto found = folder.names.find(text::ToUpper(name));
    if (found == folder.names.end()) return;
    auto& names = found->second;
    names.erase(std::remove_if(names.begin(), names.end(), [&](const Name& known) { return known.name == name; }), names.end());
    if (names.empty()) folder.names.erase(found);
}

void FolderNameIndex::Refresh() {
    if (notify_fd_ < 0) return;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(notify_fd_, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) continue;
            // EAGAIN: nothing more queued. Any other failure leaves the queue unknown.
            if (got == 0 || errno != EAGAIN) DropAll();
            return;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Changes were lost: nothing indexed can be trusted.
                DropAll();
                continue;
            }
            auto path = watched_paths_.find(event->wd);
            if (path == watched_paths_.end()) continue;
            auto folder = folders_.find(path->second);
            if (folder == folders_.end()) continue;
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
                Drop(path->second);
                continue;
            }
            const std::string_view name = event->len > 0 ? std::string_view(event->name) : std::string_view();
            if (name.empty()) continue;
            // Whatever the name held before, an index of it is no longer known to be its.
            Drop(folder->second.path + "/" + std::string(name));
            if (event->mask & (IN_CREATE | IN_MOVED_TO)) AddName(folder->second, name, (event->mask & IN_ISDIR) != 0);
            else if (event->mask & (IN_DELETE | IN_MOVED_FROM)) RemoveName(folder->second, name);
        }
    }
}

FolderNameIndex::Folder* FolderNameIndex::Index(const std::string& path, dev_t device, ino_t inode) {
    // The watch comes first: a change made while the folder is read is then queued as well, and
    // applying it again to what was read changes nothing.
    const int watch = ::inotify_add_watch(notify_fd_, path.c_str(), kWatchedChanges);
    if (watch < 0) return nullptr;
    // The same folder reached by another path already has this watch: it is not indexed twice.
    if (watched_paths_.count(watch)) return nullptr;
    struct stat info;
    DIR* dir = ::stat(path.c_str(), &info) == 0 && info.st_dev == device && info.st_ino == inode ? ::opendir(path.c_str()) : nullptr;
    if (!dir) {
        ::inotify_rm_watch(notify_fd_, watch);
        return nullptr;
    }
    if (folders_.size() >= capacity_) Drop(recent_.back());
    ++folder_reads_;
    Folder folder;
    folder.path = path;
    folder.device = device;
    folder.inode = inode;
    folder.watch = watch;
    folder.serial = next_serial_++;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") AddName(folder, name, entry->d_type == DT_DIR);
    }
    ::closedir(dir);
    // Linked to its parent's entry when that lists it as a folder now.
    if (const size_t cut = path.rfind('/'); cut != std::string::npos && cut > 0) {
        auto parent = folders_.find(path.substr(0, cut));
        if (parent != folders_.end()) {
            const std::string base = path.substr(cut + 1);
            auto names = parent->second.names.find(text::ToUpper(base));
            if (names != parent->second.names.end() &&
                std::any_of(names->second.begin(), names->second.end(), [&](const Name& n) { return n.folder && n.name == base; }))
                folder.parent_serial = parent->second.serial;
        }
    }
    recent_.push_front(path);
    folder.recent = recent_.begin();
    watched_paths_[watch] = path;
    return &folders_.insert_or_assign(path, std::move(folder)).first->second;
}

void FolderNameIndex::Drop(std::string path) {
    auto found = folders_.find(path);
    if (found == folders_.end()) return;
    // The watch's own end (IN_IGNORED) arrives later and finds nothing.
    ::inotify_rm_watch(notify_fd_, found->second.watch);
    watched_paths_.erase(found->second.watch);
    recent_.erase(found->second.recent);
    folders_.erase(found);
}

void FolderNameIndex::DropAll() {
    while (!recent_.empty()) Drop(recent_.back());
}

}  // namespace rvx::sandbox
