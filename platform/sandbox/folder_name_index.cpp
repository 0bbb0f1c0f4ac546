// The case-insensitive index of host folders' names, kept true by the kernel's change queue.
#include "platform/sandbox/folder_name_index.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>

#include "common/text/text.h"

namespace rvx::sandbox {

namespace {

// Whatever changes which names a folder holds, and what ends the folder's watch.
constexpr uint32_t kWatchedChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

HostEntryKind KindOf(unsigned char type) {
    if (type == DT_DIR) return HostEntryKind::folder;
    if (type == DT_LNK || type == DT_UNKNOWN) return HostEntryKind::unknown;
    return HostEntryKind::not_folder;
}

// Counts the kernel's signals that a note was queued on some index's watches. Each note comes
// with a real-time signal of its own, which the kernel queues rather than merging it with one
// still pending; when it cannot queue one it sends SIGIO instead, which counts as more than any
// number of notes. A note queued by a call of the thread that owns the index is signalled
// before that call returns, and one queued by another process as soon as the kernel can
// interrupt the thread: while the count grows only by the notes the program knows it caused
// itself, the queue holds nothing the index does not know.
std::atomic<uint64_t> g_queue_signals{0};
constexpr uint64_t kSignalNotCounted = uint64_t{1} << 40;

// SIGRTMIN is not a constant: the C library keeps the first ones for itself.
int QueueSignal() { return SIGRTMIN + 4; }

void CountQueueSignal(int) { g_queue_signals.fetch_add(1, std::memory_order_relaxed); }
void CountLostSignal(int) { g_queue_signals.fetch_add(kSignalNotCounted, std::memory_order_relaxed); }

bool Unhandled(int signal) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0) return false;
    const bool taken = (current.sa_flags & SA_SIGINFO) ? current.sa_sigaction != nullptr
                                                       : current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN;
    return !taken;
}

bool Handle(int signal, void (*handler)(int)) {
    struct sigaction count {};
    count.sa_handler = handler;
    // Calls the signal interrupts go on as if it had not come.
    count.sa_flags = SA_RESTART;
    sigemptyset(&count.sa_mask);
    return ::sigaction(signal, &count, nullptr) == 0;
}

// Takes both signals for the count, unless something else in the process handles either.
bool HandleQueueSignals() {
    static const bool handled = [] {
        if (!Unhandled(QueueSignal()) || !Unhandled(SIGIO)) return false;
        return Handle(SIGIO, CountLostSignal) && Handle(QueueSignal(), CountQueueSignal);
    }();
    return handled;
}

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
    : capacity_(std::max<size_t>(capacity, 1)), notify_fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (notify_fd_ < 0 || !HandleQueueSignals()) return;
    // Signalled to this thread only: the thread that looks up is then the one interrupted.
    const f_owner_ex owner{F_OWNER_TID, ::gettid()};
    signalled_ = ::fcntl(notify_fd_, F_SETOWN_EX, &owner) == 0 && ::fcntl(notify_fd_, F_SETSIG, QueueSignal()) == 0 &&
                 ::fcntl(notify_fd_, F_SETFL, O_NONBLOCK | O_ASYNC) == 0;
    owner_ = ::pthread_self();
}

FolderNameIndex::~FolderNameIndex() {
    if (notify_fd_ >= 0) ::close(notify_fd_);
}

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
        const int watch = ::inotify_add_watch(notify_fd_, above.c_str(), kWatchedChanges | IN_DONT_FOLLOW);
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
    ::inotify_rm_watch(notify_fd_, watch);
}

FolderNameIndex::Entry FolderNameIndex::Enter(const std::string& path, dev_t device, ino_t inode) {
    if (notify_fd_ < 0) return nullptr;
    auto known = folders_.find(path);
    // Another folder now at the same path (the old one moved away or deleted and made again).
    if (known != folders_.end() && (known->second.device != device || known->second.inode != inode)) {
        Drop(path);
        known = folders_.end();
    }
    if (known == folders_.end()) return Index(path, device, inode);
    Touch(known->second);
    return &known->second;
}

FolderNameIndex::Match FolderNameIndex::Find(Entry folder, std::string_view wanted) {
    upper_.assign(wanted);
    for (char& c : upper_) c = text::ToUpper(c);
    auto names = folder->names.find(upper_);
    if (names == folder->names.end()) return {};
    const std::vector<Name>& candidates = names->second;
    const Name* match = nullptr;
    for (const Name& candidate : candidates)
        if (candidate.name == wanted) match = &candidate;
    if (!match && candidates.size() == 1) match = &candidates.front();
    if (!match) return Match{Match::Result::ask_host};
    Match found{Match::Result::found, &match->name, match->kind};
    found.unique = candidates.size() == 1;
    if (match->kind == HostEntryKind::folder && match->subfolder_serial != 0) {
        auto child = by_serial_.find(match->subfolder_serial);
        if (child != by_serial_.end() && child->second->parent_serial == folder->serial) found.subfolder = child->second;
    }
    return found;
}

std::string FolderNameIndex::FindIgnoringCase(const std::string& folder, dev_t device, ino_t inode, const std::string& wanted) {
    Entry entry = Enter(folder, device, inode);
    if (entry) {
        const Match match = Find(entry, wanted);
        if (match.result == Match::Result::missing) return {};
        if (match.result == Match::Result::found) return *match.name;
    }
    return ReadFolderIgnoringCase(folder, wanted);
}

std::string FolderNameIndex::ReadFolderIgnoringCase(const std::string& folder, const std::string& wanted) {
    ++folder_reads_;
    return ScanFolderIgnoringCase(folder, wanted);
}

bool FolderNameIndex::KnownSubfolder(const std::string& parent, const std::string& name, dev_t& device, ino_t& inode) const {
    auto listed = folders_.find(parent);
    if (listed == folders_.end()) return false;
    const Name* exact = ExactName(listed->second, name);
    if (!exact || exact->kind != HostEntryKind::folder || exact->subfolder_serial == 0) return false;
    auto child = by_serial_.find(exact->subfolder_serial);
    if (child == by_serial_.end() || child->second->parent_serial != listed->second.serial) return false;
    device = child->second->device;
    inode = child->second->inode;
    return true;
}

const FolderNameIndex::Name* FolderNameIndex::ExactName(const Folder& folder, std::string_view name) {
    auto names = folder.names.find(text::ToUpper(name));
    if (names == folder.names.end()) return nullptr;
    for (const Name& known : names->second)
        if (known.name == name) return &known;
    return nullptr;
}

void FolderNameIndex::Touch(const Folder& folder) { recent_.splice(recent_.begin(), recent_, folder.recent); }

void FolderNameIndex::AddName(Folder& folder, std::string_view name, HostEntryKind kind) {
    auto& names = folder.names[text::ToUpper(name)];
    for (Name& known : names)
        if (known.name == name) {
            if (known.kind != kind || known.subfolder_serial != 0) ++layout_generation_;
            known.kind = kind;
            known.subfolder_serial = 0;
            return;
        }
    // A second name that differs in case only changes what a lookup of either answers.
    if (!names.empty()) ++layout_generation_;
    names.push_back(Name{std::string(name), kind});
}

void FolderNameIndex::RemoveName(Folder& folder, std::string_view name) {
    auto found = folder.names.find(text::ToUpper(name));
    if (found == folder.names.end()) return;
    auto& names = found->second;
    // Each spelling is listed once.
    const auto gone = std::find_if(names.begin(), names.end(), [&](const Name& known) { return known.name == name; });
    if (gone == names.end()) return;
    // A file's name going changes the way to no folder, unless another name of its case was there.
    if (names.size() > 1 || gone->kind != HostEntryKind::not_folder) ++layout_generation_;
    names.erase(gone);
    if (names.empty()) folder.names.erase(found);
}

const FolderNameIndex::ResolvedFolder* FolderNameIndex::FindResolved(char drive, const std::string& drive_host,
                                                                     const std::vector<std::string>& names, size_t count) const {
    for (const ResolvedFolder& known : resolved_) {
        if (known.generation != layout_generation_ || !known.entry || known.drive != drive || known.names.size() != count ||
            known.drive_host != drive_host)
            continue;
        bool same = true;
        for (size_t i = count; same && i-- > 0;) same = text::EqualsIgnoreCase(known.names[i], names[i]);
        if (same) return &known;
    }
    return nullptr;
}

void FolderNameIndex::NoteResolved(char drive, const std::string& drive_host, std::vector<std::string> names, std::string host,
                                   Entry entry) {
    ResolvedFolder& slot = resolved_[next_resolved_];
    next_resolved_ = (next_resolved_ + 1) % resolved_.size();
    slot = ResolvedFolder{drive, drive_host, std::move(names), std::move(host), entry, layout_generation_};
}

void FolderNameIndex::Refresh() {
    if (notify_fd_ < 0) return;
    if (signalled_ && ::pthread_equal(::pthread_self(), owner_)) {
        // Taken before the queue is read: a signal that comes during the read counts again.
        const uint64_t signals = g_queue_signals.load(std::memory_order_acquire);
        // Only notes of this program's own changes, applied when it made them: nothing to read,
        // unless so many wait that the queue is to be emptied.
        if (read_at_signal_ && signals - *read_at_signal_ == own_notes_ &&
            (own_notes_ == 0 || (own_notes_ < kMostOwnNotesWaiting &&
                                 std::chrono::steady_clock::now() - own_notes_since_ < kLongestOwnNoteWait)))
            return;
        read_at_signal_ = signals;
        own_notes_ = 0;
    }
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(notify_fd_, buffer, sizeof buffer);
        ++queue_reads_;
        if (got <= 0) {
            if (got < 0 && errno == EINTR) continue;
            // EAGAIN: nothing more queued. Any other failure leaves the queue unknown.
            if (got == 0 || errno != EAGAIN) DropAll();
            return;
        }
        // The kernel hands out every queued note that fits: a read that left room for the
        // largest one emptied the queue, and another read would only say so.
        const bool drained = static_cast<size_t>(got) + sizeof(inotify_event) + NAME_MAX + 1 <= sizeof buffer;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Changes were lost: nothing indexed can be trusted.
                DropAll();
                continue;
            }
            if (!ancestors_.empty())
                if (auto above = ancestors_.find(event->wd); above != ancestors_.end()) {
                    // Any note about a name on a drive folder's chain ends what is known of it.
                    std::string changed = above->second.path;
                    if (event->len > 0 && event->name[0] != '\0') changed += (changed == "/" ? "" : "/") + std::string(event->name);
                    BreakChainsThrough(changed);
                }
            if (!open_files_.empty())
                if (auto file = open_files_.find(event->wd); file != open_files_.end()) {
                    file->second = false;
                    if (event->mask & IN_IGNORED) open_files_.erase(file);  // the kernel ended the watch
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
            // A name can be created only while it is absent: a file listed under it now is the
            // one this note is about, already known (read with the folder, or noted by its maker).
            if ((event->mask & (IN_CREATE | IN_ISDIR)) == IN_CREATE)
                if (const Name* known = ExactName(folder->second, name); known && known->kind == HostEntryKind::not_folder) continue;
            // Whatever the name held before, an index of it is no longer known to be its.
            Drop(folder->second.path + "/" + std::string(name));
            // The queue says whether a new name is a folder, not whether it is a link.
            if (event->mask & (IN_CREATE | IN_MOVED_TO))
                AddName(folder->second, name, (event->mask & IN_ISDIR) ? HostEntryKind::folder : HostEntryKind::unknown);
            else if (event->mask & (IN_DELETE | IN_MOVED_FROM)) RemoveName(folder->second, name);
        }
        if (drained) return;
    }
}

FolderNameIndex::Folder* FolderNameIndex::IndexedFolderOf(const std::string& host_path, std::string_view& name) {
    const size_t cut = host_path.rfind('/');
    if (cut == std::string::npos || cut == 0) return nullptr;
    auto folder = folders_.find(host_path.substr(0, cut));
    if (folder == folders_.end()) return nullptr;
    name = std::string_view(host_path).substr(cut + 1);
    return &folder->second;
}

void FolderNameIndex::ExpectOwnNote() {
    if (!signalled_ || !::pthread_equal(::pthread_self(), owner_)) return;
    if (own_notes_++ == 0) own_notes_since_ = std::chrono::steady_clock::now();
}

void FolderNameIndex::NoteCreatedFile(const std::string& host_path, bool made_by_the_call) {
    std::string_view name;
    Folder* folder = IndexedFolderOf(host_path, name);
    if (!folder) return;
    AddName(*folder, name, HostEntryKind::not_folder);
    if (made_by_the_call) ExpectOwnNote();
}

void FolderNameIndex::NoteRemovedFile(const std::string& host_path) {
    std::string_view name;
    Folder* folder = IndexedFolderOf(host_path, name);
    if (!folder) return;
    RemoveName(*folder, name);
    ExpectOwnNote();
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
        if (name != "." && name != "..") AddName(folder, name, KindOf(entry->d_type));
    }
    ::closedir(dir);
    // Linked to its parent's entry when that lists it as a folder now.
    Name* listed = nullptr;
    if (const size_t cut = path.rfind('/'); cut != std::string::npos && cut > 0) {
        auto parent = folders_.find(path.substr(0, cut));
        if (parent != folders_.end()) {
            listed = const_cast<Name*>(ExactName(parent->second, std::string_view(path).substr(cut + 1)));
            if (listed && listed->kind == HostEntryKind::folder) folder.parent_serial = parent->second.serial;
            else listed = nullptr;
        }
    }
    if (listed) listed->subfolder_serial = folder.serial;
    recent_.push_front(path);
    folder.recent = recent_.begin();
    watched_paths_[watch] = path;
    Folder& made = folders_.insert_or_assign(path, std::move(folder)).first->second;
    by_serial_[made.serial] = &made;
    return &made;
}

void FolderNameIndex::Drop(std::string path) {
    auto found = folders_.find(path);
    if (found == folders_.end()) return;
    ++layout_generation_;
    const int watch = found->second.watch;
    watched_paths_.erase(watch);
    RemoveWatchUnlessUsed(watch);
    by_serial_.erase(found->second.serial);
    recent_.erase(found->second.recent);
    folders_.erase(found);
}

int FolderNameIndex::WatchOpenFile(const std::string& host_path) {
    if (notify_fd_ < 0) return -1;
    // Link counts change with a removal and with a file moved over this one.
    // Something watched already (a folder after all) keeps its own watch as it is.
    const int watch = ::inotify_add_watch(notify_fd_, host_path.c_str(), IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF | IN_MASK_CREATE);
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

void FolderNameIndex::DropAll() {
    for (auto& file : open_files_) file.second = false;
    BreakChainsThrough("/");
    while (!recent_.empty()) Drop(recent_.back());
}

}  // namespace rvx::sandbox
