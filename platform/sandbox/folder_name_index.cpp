// The case-insensitive index of host folders' names, kept true by the kernel's change queue
// (the watches of drive folders' chains and of open files are in folder_name_watches.cpp).
#include "platform/sandbox/folder_name_index.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>

#include "common/text/text.h"

namespace rvx::sandbox {

namespace {

HostEntryKind KindOf(unsigned char type) {
    if (type == DT_DIR) return HostEntryKind::folder;
    if (type == DT_LNK || type == DT_UNKNOWN) return HostEntryKind::unknown;
    return HostEntryKind::not_folder;
}

// name in upper case; in buffer when it fits, as host names do.
class UpperName {
public:
    explicit UpperName(std::string_view name) {
        if (name.size() > sizeof buffer_) {
            long_ = text::ToUpper(name);
            text_ = long_;
            return;
        }
        for (size_t i = 0; i < name.size(); ++i) buffer_[i] = text::ToUpper(name[i]);
        text_ = std::string_view(buffer_, name.size());
    }
    std::string_view text() const { return text_; }

private:
    char buffer_[NAME_MAX + 1];
    std::string long_;
    std::string_view text_;
};

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

const uint32_t FolderNameIndex::kFolderChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

FolderNameIndex::FolderNameIndex(size_t capacity) : capacity_(std::max<size_t>(capacity, 1)) {}

FolderNameIndex::Entry FolderNameIndex::Enter(const std::string& path, dev_t device, ino_t inode) {
    if (!queue_.open()) return nullptr;
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
    const UpperName upper(wanted);
    if (!folder->filter.MayHold(TextHash{}(upper.text()))) return {};
    auto names = folder->names.find(upper.text());
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
    auto names = folder.names.find(UpperName(name).text());
    if (names == folder.names.end()) return nullptr;
    for (const Name& known : names->second)
        if (known.name == name) return &known;
    return nullptr;
}

void FolderNameIndex::Touch(const Folder& folder) { recent_.splice(recent_.begin(), recent_, folder.recent); }

void FolderNameIndex::AddName(Folder& folder, std::string_view name, HostEntryKind kind) {
    const UpperName upper(name);
    auto listed = folder.names.find(upper.text());
    if (listed == folder.names.end()) {
        listed = folder.names.emplace(std::string(upper.text()), std::vector<Name>()).first;
        if (folder.filter.Crowded(folder.names.size())) {
            folder.filter.Reset(folder.names.size());
            for (const auto& key : folder.names) folder.filter.Add(TextHash{}(key.first));
        } else {
            folder.filter.Add(TextHash{}(upper.text()));
        }
    }
    auto& names = listed->second;
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
    auto found = folder.names.find(UpperName(name).text());
    if (found == folder.names.end()) return;
    auto& names = found->second;
    // Each spelling is listed once.
    const auto gone = std::find_if(names.begin(), names.end(), [&](const Name& known) { return known.name == name; });
    if (gone == names.end()) return;
    // A file's name going changes the way to no folder, unless another name of its case was there.
    if (names.size() > 1 || gone->kind != HostEntryKind::not_folder) ++layout_generation_;
    names.erase(gone);
    if (names.empty()) {
        folder.filter.Remove(TextHash{}(found->first));
        folder.names.erase(found);
    }
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
    if (!queue_.NeedsRead()) return;
    // A queue that cannot be read leaves nothing indexed to be trusted.
    if (!queue_.Read([this](const ChangeQueue::Note& note) { Apply(note); })) DropAll();
}

void FolderNameIndex::Apply(const ChangeQueue::Note& note) {
    if (note.changes & IN_Q_OVERFLOW) {
        // Changes were lost: nothing indexed can be trusted.
        DropAll();
        return;
    }
    if (!ancestors_.empty())
        if (auto above = ancestors_.find(note.watch); above != ancestors_.end()) {
            // Any note about a name on a drive folder's chain ends what is known of it.
            std::string changed = above->second.path;
            if (!note.name.empty()) (changed += (changed == "/" ? "" : "/")) += note.name;
            BreakChainsThrough(changed);
        }
    if (!open_files_.empty())
        if (auto file = open_files_.find(note.watch); file != open_files_.end()) {
            file->second = false;
            if (note.changes & IN_IGNORED) open_files_.erase(file);  // the kernel ended the watch
            return;
        }
    auto path = watched_paths_.find(note.watch);
    if (path == watched_paths_.end()) return;
    auto folder = folders_.find(path->second);
    if (folder == folders_.end()) return;
    if (note.changes & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
        Drop(path->second);
        return;
    }
    const std::string_view name = note.name;
    if (name.empty()) return;
    // A name can be created only while it is absent: a file listed under it now is the one this
    // note is about, already known (read with the folder, or noted by its maker).
    if ((note.changes & (IN_CREATE | IN_ISDIR)) == IN_CREATE)
        if (const Name* known = ExactName(folder->second, name); known && known->kind == HostEntryKind::not_folder) return;
    // Whatever the name held before, an index of it is no longer known to be its.
    note_path_.assign(folder->second.path).append("/").append(name);
    Drop(note_path_);
    // The queue says whether a new name is a folder, not whether it is a link.
    if (note.changes & (IN_CREATE | IN_MOVED_TO))
        AddName(folder->second, name, (note.changes & IN_ISDIR) ? HostEntryKind::folder : HostEntryKind::unknown);
    else if (note.changes & (IN_DELETE | IN_MOVED_FROM)) RemoveName(folder->second, name);
}

FolderNameIndex::Folder* FolderNameIndex::IndexedFolderOf(const std::string& host_path, std::string_view& name) {
    const size_t cut = host_path.rfind('/');
    if (cut == std::string::npos || cut == 0) return nullptr;
    auto folder = folders_.find(std::string_view(host_path).substr(0, cut));
    if (folder == folders_.end()) return nullptr;
    name = std::string_view(host_path).substr(cut + 1);
    return &folder->second;
}

void FolderNameIndex::NoteCreatedFile(const std::string& host_path, bool made_by_the_call) {
    std::string_view name;
    Folder* folder = IndexedFolderOf(host_path, name);
    if (!folder) return;
    AddName(*folder, name, HostEntryKind::not_folder);
    if (made_by_the_call) ExpectOwnNote(name);
}

void FolderNameIndex::NoteRemovedFile(const std::string& host_path) {
    std::string_view name;
    Folder* folder = IndexedFolderOf(host_path, name);
    if (!folder) return;
    RemoveName(*folder, name);
    ExpectOwnNote(name);
}

FolderNameIndex::Folder* FolderNameIndex::Index(const std::string& path, dev_t device, ino_t inode) {
    // The watch comes first: a change made while the folder is read is then queued as well, and
    // applying it again to what was read changes nothing.
    const int watch = queue_.Watch(path, kFolderChanges);
    if (watch < 0) return nullptr;
    // The same folder reached by another path already has this watch: it is not indexed twice.
    if (watched_paths_.count(watch)) return nullptr;
    struct stat info;
    DIR* dir = ::stat(path.c_str(), &info) == 0 && info.st_dev == device && info.st_ino == inode ? ::opendir(path.c_str()) : nullptr;
    if (!dir) {
        queue_.Unwatch(watch);
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
        auto parent = folders_.find(std::string_view(path).substr(0, cut));
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

void FolderNameIndex::Drop(std::string_view path) {
    // path is used for the lookup alone: it may be a name that what follows erases.
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

void FolderNameIndex::DropAll() {
    for (auto& file : open_files_) file.second = false;
    BreakChainsThrough("/");
    while (!recent_.empty()) Drop(recent_.back());
}

}  // namespace rvx::sandbox
