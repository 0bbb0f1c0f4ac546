// The simulated machine's file system.
#include "platform/sandbox/sandbox_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "common/text/text.h"
#include "platform/sandbox/host_errors.h"
#include "platform/sandbox/host_file.h"
#include "platform/sandbox/ini_text.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/pending_renames.h"
#include "platform/sandbox/wildcard.h"

namespace rvx::sandbox {

using platform::Fail;
using platform::Status;
namespace attributes = platform::attributes;

namespace {

std::vector<WindowsPath> NormalizeAll(const std::vector<std::string>& paths) {
    std::vector<WindowsPath> out;
    const WindowsPath root{'C', {}};
    for (const auto& path : paths)
        if (auto normal = NormalizeWindowsPath(path, root)) out.push_back(normal.value());
    return out;
}

bool SamePath(const WindowsPath& a, const WindowsPath& b) { return a.IsWithin(b) && b.IsWithin(a); }

// not_found when only the last name is missing, path_not_found when a folder above it is.
platform::Error Missing(const HostLocation& location) {
    return Fail(location.parent_exists ? Status::not_found : Status::path_not_found, location.path.Text());
}

// The entries in the order of a folder's listing: by the upper-case names as texts compare
// (bytes taken unsigned), then names equal but for case by their own bytes. Each upper-case name
// is made once rather than for every comparison, and each entry moved once.
std::vector<platform::FoundEntry> SortedAsListed(std::vector<platform::FoundEntry> entries) {
    struct Key {
        std::string upper;
        size_t index;
    };
    std::vector<Key> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) keys.push_back(Key{text::ToUpper(entries[i].name), i});
    // std::string compares its bytes unsigned, the shorter of two equal starts first.
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.upper != b.upper) return a.upper < b.upper;
        return entries[a.index].name < entries[b.index].name;
    });
    std::vector<platform::FoundEntry> sorted;
    sorted.reserve(entries.size());
    for (const Key& key : keys) sorted.push_back(std::move(entries[key.index]));
    return sorted;
}

bool IsHostFolder(const std::string& host_path) {
    struct stat info;
    return ::stat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether an existing entry is a folder: as the index of folder names knows it, else as the host
// answers.
bool IsFolder(const HostLocation& where) {
    if (where.kind != HostEntryKind::unknown) return where.kind == HostEntryKind::folder;
    return IsHostFolder(where.host_path);
}

uint64_t HostSize(const std::string& host_path) {
    struct stat info;
    return ::stat(host_path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
}

}  // namespace

SandboxFiles::SandboxFiles(Machine& machine, Rights rights)
    : config_(machine.config()),
      machine_folder_(machine.folder()),
      metadata_(machine.metadata()),
      space_(machine.space()),
      last_closed_(machine.last_closed()),
      folder_names_(machine.folder_names()),
      registry_(machine.registry()),
      rights_(rights),
      in_use_(NormalizeAll(config_.files_in_use)),
      denied_(NormalizeAll(config_.denied_paths)),
      current_{'C', {}} {}

void SandboxFiles::HoldInUse(std::string_view path) {
    if (auto normal = NormalizeWindowsPath(path, current_)) in_use_.push_back(normal.value());
}

bool SandboxFiles::DriveRoot(char drive, std::string& host_root) const {
    const DriveConfig* config = config_.Drive(drive);
    if (!config) return false;
    host_root = DriveHostFolder(machine_folder_, *config);
    return true;
}

platform::Result<HostLocation> SandboxFiles::Locate(std::string_view path) {
    auto normal = NormalizeWindowsPath(path, current_);
    if (!normal) return normal.error();
    return ResolveOnHost(
        std::move(normal.value()), [this](char drive, std::string& root) { return DriveRoot(drive, root); }, &folder_names_);
}

bool SandboxFiles::IsReadOnlyDrive(char drive) const {
    const DriveConfig* config = config_.Drive(drive);
    return config && (config->read_only || config->type == platform::DriveType::cdrom);
}

platform::Outcome SandboxFiles::CheckChange(const WindowsPath& path, bool touches_existing_file) {
    if (IsReadOnlyDrive(path.drive)) return Fail(Status::access_denied, path.Text() + " is on a read-only drive");
    if (rights_ == Rights::system) return {};
    for (const auto& denied : denied_)
        if (path.IsWithin(denied)) return Fail(Status::access_denied, path.Text());
    if (touches_existing_file && IsInUse(path)) return Fail(Status::sharing_violation, path.Text() + " is in use");
    return {};
}

bool SandboxFiles::IsInUse(const WindowsPath& path) const {
    return std::any_of(in_use_.begin(), in_use_.end(), [&](const WindowsPath& busy) { return SamePath(path, busy); });
}

uint32_t SandboxFiles::AttributesOf(const WindowsPath& path, bool folder) const {
    return AttributesFrom(path.drive, folder, metadata_.Find(path));
}

uint32_t SandboxFiles::AttributesFrom(char drive_letter, bool folder, const std::optional<FileMetadata>& kept) const {
    if (folder) return attributes::directory | (kept ? kept->attributes : 0);
    // The system reports every file of a CD as read-only.
    const DriveConfig* drive = config_.Drive(drive_letter);
    if (drive && drive->type == platform::DriveType::cdrom) return attributes::read_only;
    const uint32_t bits = kept ? kept->attributes : attributes::archive;
    return bits != 0 ? bits : attributes::normal;
}

platform::Result<std::unique_ptr<HostFile>> SandboxFiles::OpenHost(const platform::OpenRequest& request) {
    last_closed_.Forget();
    auto location = Locate(request.path);
    if (!location) return location.error();
    HostLocation& where = location.value();
    std::string windows_path = where.path.Text();
    if (where.exists && IsFolder(where)) return Fail(Status::access_denied, windows_path + " is a folder");

    const bool writes = request.access != platform::Access::read;
    const bool creates = request.disposition != platform::Disposition::open_existing;
    const bool truncates = where.exists && request.disposition == platform::Disposition::create_always;
    if (writes || truncates || (creates && !where.exists)) {
        if (auto allowed = CheckChange(where.path, where.exists); !allowed) return allowed.error();
    }
    // The program that keeps the file open shares it at most for reading: an open that shares
    // nothing is refused whatever access it asks, as the system refuses it.
    if (where.exists && request.sharing == platform::share::none && rights_ != Rights::system && IsInUse(where.path))
        return Fail(Status::sharing_violation, windows_path + " is in use");
    if (where.exists && (writes || truncates)) {
        const uint32_t found = AttributesOf(where.path, false);
        if (found & attributes::read_only) return Fail(Status::access_denied, windows_path + " is read-only");
        // Replacing a hidden or system file without naming those attributes is refused.
        if (truncates && (found & (attributes::hidden | attributes::system)))
            return Fail(Status::access_denied, windows_path + " is a hidden or system file");
    }

    int flags = O_CLOEXEC;
    flags |= request.access == platform::Access::read ? O_RDONLY : request.access == platform::Access::write ? O_WRONLY : O_RDWR;
    switch (request.disposition) {
    case platform::Disposition::open_existing:
        if (!where.exists) return Missing(where);
        break;
    case platform::Disposition::create_new:
        if (where.exists) return Fail(Status::already_exists, windows_path);
        flags |= O_CREAT | O_EXCL;
        break;
    case platform::Disposition::create_always: flags |= O_CREAT | O_TRUNC; break;
    case platform::Disposition::open_always: flags |= O_CREAT; break;
    }
    if (!where.exists && !where.parent_exists) return Fail(Status::path_not_found, windows_path);
    // Creating needs write access on the host even when the program only reads.
    if ((flags & O_CREAT) && (flags & O_ACCMODE) == O_RDONLY) flags = (flags & ~O_ACCMODE) | O_RDWR;
    const uint64_t size_before = truncates ? HostSize(where.host_path) : 0;
    // A name not there is made only if still not there: then the call itself made it.
    const bool makes_name = !where.exists && (flags & O_CREAT);
    int fd = ::open(where.host_path.c_str(), makes_name ? flags | O_EXCL : flags, 0644);
    const bool made_name = makes_name && fd >= 0;
    if (fd < 0 && makes_name && errno == EEXIST && !(flags & O_EXCL)) fd = ::open(where.host_path.c_str(), flags, 0644);
    if (fd < 0) return HostError(errno, windows_path);

    if (!where.exists) {
        // A new file: whatever was kept for an earlier file of that name went with it.
        metadata_.Forget(where.path);
        folder_names_.NoteCreatedFile(where.host_path, made_name);
    } else if (truncates) {
        space_.Give(where.path.drive, size_before);
        FileMetadata replaced = metadata_.Find(where.path).value_or(FileMetadata{});
        replaced.attributes = attributes::archive;
        metadata_.Record(where.path, replaced, false);
    }
    FileBooks books{IsReadOnlyDrive(where.path.drive) ? nullptr : &space_, &metadata_, std::move(where.path), &last_closed_};
    const bool emptied = request.disposition == platform::Disposition::create_always ||
                         request.disposition == platform::Disposition::create_new;
    const SizeKnowledge size{(request.sharing & platform::share::write) == 0, emptied};
    return std::make_unique<HostFile>(fd, std::move(windows_path), request.access, std::move(books), size);
}

platform::Result<std::unique_ptr<platform::File>> SandboxFiles::Open(const platform::OpenRequest& request) {
    auto opened = OpenHost(request);
    if (!opened) return opened.error();
    return std::unique_ptr<platform::File>(std::move(opened.value()));
}

platform::Result<std::vector<platform::FoundEntry>> SandboxFiles::FindFiles(std::string_view pattern) {
    return List(pattern, true);
}

platform::Result<std::vector<platform::FoundEntry>> SandboxFiles::ListNames(std::string_view pattern) {
    return List(pattern, false);
}

platform::Result<std::vector<platform::FoundEntry>> SandboxFiles::List(std::string_view pattern, bool details) {
    // The last component is a search mask, which may hold wildcards a path may not.
    const size_t cut = pattern.find_last_of("\\/");
    const std::string mask(cut == std::string_view::npos ? pattern : pattern.substr(cut + 1));
    if (mask.empty() || mask == "." || mask == "..") return Fail(Status::not_found, std::string(pattern));
    std::string folder_text(cut == std::string_view::npos ? std::string_view(".") : pattern.substr(0, cut + 1));
    if (folder_text.size() == 2 && folder_text[1] == ':') folder_text += ".";  // "C:*.txt" searches the current folder
    auto normal = NormalizeWindowsPath(folder_text, current_);
    if (!normal) return normal.error();
    normal->components.push_back(mask);
    auto folder = ResolveOnHost(
        normal->Parent(), [this](char drive, std::string& root) { return DriveRoot(drive, root); }, &folder_names_);
    if (!folder) return folder.error();
    if (!folder->exists || !IsFolder(folder.value())) return Fail(Status::path_not_found, folder->path.Text());

    std::vector<platform::FoundEntry> entries;
    DIR* dir = ::opendir(folder->host_path.c_str());
    if (!dir) return HostError(errno, folder->path.Text());
    // Usually nothing in the folder has kept attributes or times: then no name is looked up.
    const bool any_kept = metadata_.HoldsAnythingWithin(folder->path);
    while (const dirent* item = ::readdir(dir)) {
        std::string name = item->d_name;
        bool dot_entry = name == "." || name == "..";
        // A drive's root folder has no "." and ".." entries on the system.
        if (dot_entry && folder->path.IsRoot()) continue;
        if (!MatchesSearchPattern(mask, name)) continue;
        struct stat info {};
        // A listing that says what the entry is, when it is no link, spares asking the host.
        const bool listed_kind = !details && item->d_type != DT_UNKNOWN && item->d_type != DT_LNK;
        if (listed_kind) {
            info.st_mode = item->d_type == DT_DIR ? S_IFDIR : S_IFREG;
        } else if (::fstatat(::dirfd(dir), item->d_name, &info, 0) != 0) {
            // Relative to the open folder: the host does not walk the whole path again for each entry.
            continue;
        }
        const bool is_folder = S_ISDIR(info.st_mode);
        std::optional<FileMetadata> kept;
        if (any_kept || dot_entry) {
            WindowsPath path = name == "." ? folder->path : name == ".." ? folder->path.Parent() : folder->path;
            if (!dot_entry) path.components.push_back(name);
            kept = metadata_.Find(path);
        }

        platform::FoundEntry entry;
        entry.name = std::move(name);
        entry.attributes = AttributesFrom(folder->path.drive, is_folder, kept);
        if (details) {
            entry.size = is_folder ? 0 : static_cast<uint64_t>(info.st_size);
            entry.times.last_write = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
            entry.times.last_access = FileTimeFromUnix(info.st_atim.tv_sec, info.st_atim.tv_nsec);
            entry.times.creation = kept && kept->creation ? *kept->creation : entry.times.last_write;
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    if (entries.empty()) return Fail(Status::not_found, normal->Text());
    // The host lists in no useful order; sort so that every run sees the same order.
    return SortedAsListed(std::move(entries));
}

platform::Result<uint32_t> SandboxFiles::ReadAttributes(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    return AttributesOf(location->path, IsFolder(location.value()));
}

platform::Outcome SandboxFiles::WriteAttributes(std::string_view path, uint32_t wanted) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    // Attributes are not the file's data: a file in use may still have them changed.
    if (auto allowed = CheckChange(location->path, false); !allowed) return allowed;
    FileMetadata metadata = metadata_.Find(location->path).value_or(FileMetadata{});
    // "Normal" alone means none of the others; with others it is ignored, as by the system.
    metadata.attributes = wanted & kStoredAttributes;
    metadata_.Record(location->path, metadata, IsFolder(location.value()));
    return {};
}

platform::Outcome SandboxFiles::MakeFolder(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (location->exists) return Fail(Status::already_exists, location->path.Text());
    if (!location->parent_exists) return Fail(Status::path_not_found, location->path.Text());
    if (auto allowed = CheckChange(location->path, false); !allowed) return allowed;
    if (::mkdir(location->host_path.c_str(), 0755) != 0) return HostError(errno, location->path.Text());
    metadata_.Forget(location->path);
    return {};
}

platform::Outcome SandboxFiles::RemoveFolder(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    if (!IsFolder(location.value())) return Fail(Status::invalid_argument, location->path.Text() + " is not a folder");
    if (location->path.IsRoot()) return Fail(Status::access_denied, "the root folder of a drive");
    if (auto allowed = CheckChange(location->path, false); !allowed) return allowed;
    if (AttributesOf(location->path, true) & attributes::read_only)
        return Fail(Status::access_denied, location->path.Text() + " is a read-only folder");
    if (location->path.drive == current_.drive && current_.IsWithin(location->path))
        return Fail(Status::sharing_violation, location->path.Text() + " is the current folder");
    if (::rmdir(location->host_path.c_str()) != 0) return HostError(errno, location->path.Text());
    metadata_.Forget(location->path);
    return {};
}

platform::Outcome SandboxFiles::RemoveFile(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    // One look at the host for both what it is and how much room it frees; none when the index
    // knows it is no folder and either no one counts the drive's bytes yet or the file's size
    // is known from its close just before.
    const bool known_file = location->kind == HostEntryKind::not_folder;
    const std::optional<uint64_t> closed_size = known_file ? last_closed_.SizeOf(location->path) : std::nullopt;
    last_closed_.Forget();
    struct stat info;
    const bool asked = !known_file || (space_.Counted(location->path.drive) && !closed_size);
    const bool listed = asked && ::stat(location->host_path.c_str(), &info) == 0;
    if (listed && S_ISDIR(info.st_mode)) return Fail(Status::access_denied, location->path.Text() + " is a folder");
    if (auto allowed = CheckChange(location->path, true); !allowed) return allowed;
    if (AttributesOf(location->path, false) & attributes::read_only)
        return Fail(Status::access_denied, location->path.Text() + " is read-only");
    const uint64_t size = closed_size ? *closed_size : listed && S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
    if (::unlink(location->host_path.c_str()) != 0) return HostError(errno, location->path.Text());
    folder_names_.NoteRemovedFile(location->host_path);
    space_.Give(location->path.drive, size);
    metadata_.Forget(location->path);
    return {};
}

platform::Outcome SandboxFiles::RenameFile(std::string_view from, std::string_view to) {
    last_closed_.Forget();
    auto source = Locate(from);
    if (!source) return source.error();
    auto target = Locate(to);
    if (!target) return target.error();
    if (!source->exists) return Missing(source.value());
    if (target->exists) return Fail(Status::already_exists, target->path.Text());
    if (!target->parent_exists) return Fail(Status::path_not_found, target->path.Text());
    if (auto allowed = CheckChange(source->path, true); !allowed) return allowed;
    if (auto allowed = CheckChange(target->path, false); !allowed) return allowed;
    // A move to another drive is a copy and a deletion: the target drive must have the room.
    const bool other_drive = source->path.drive != target->path.drive;
    uint64_t size = 0;
    if (other_drive) {
        if (IsFolder(source.value()))
            return Fail(Status::io_error, source->path.Text() + ": a folder cannot be moved to another drive");
        size = HostSize(source->host_path);
        if (auto taken = space_.Take(target->path.drive, size, target->path.Text()); !taken) return taken;
    }
    if (::rename(source->host_path.c_str(), target->host_path.c_str()) != 0) {
        const int error = errno;
        if (other_drive) space_.Give(target->path.drive, size);
        return HostError(error, source->path.Text());
    }
    if (other_drive) space_.Give(source->path.drive, size);
    metadata_.Move(source->path, target->path);
    return {};
}

platform::Outcome SandboxFiles::ScheduleMoveAtRestart(std::string_view from, std::string_view to) {
    if (config_.version.family != platform::PlatformFamily::windows_nt)
        return Fail(Status::unsupported, "replacing files at restart (this system reads WININIT.INI instead)");
    // Only administrators may write the Session Manager's key.
    if (!config_.administrator)
        return Fail(Status::access_denied, std::string("HKEY_LOCAL_MACHINE\\") + kSessionManagerKey);
    auto source = NormalizeWindowsPath(from, current_);
    if (!source) return source.error();
    std::string target_text;
    if (!to.empty()) {
        auto target = NormalizeWindowsPath(to, current_);
        if (!target) return target.error();
        target_text = target->Text();
    }
    auto existing = registry_.ReadValue(platform::RootKey::local_machine, kSessionManagerKey, kPendingRenamesValue);
    std::vector<uint8_t> bytes;
    if (existing && existing->type == platform::value_type::multi_string) bytes = existing->data;
    platform::RegValue value;
    value.type = platform::value_type::multi_string;
    value.data = AppendPendingRename(bytes, source->Text(), target_text);
    return registry_.WriteValue(platform::RootKey::local_machine, kSessionManagerKey, kPendingRenamesValue, value);
}

std::vector<char> SandboxFiles::Drives() {
    std::vector<char> letters;
    for (const auto& drive : config_.drives) letters.push_back(drive.letter);
    std::sort(letters.begin(), letters.end());
    return letters;
}

platform::DriveType SandboxFiles::DriveKind(std::string_view root) {
    if (root.size() < 2 || root[1] != ':') return platform::DriveType::no_root;
    const DriveConfig* drive = config_.Drive(root[0]);
    return drive ? drive->type : platform::DriveType::no_root;
}

platform::Result<platform::DiskSpace> SandboxFiles::FreeSpace(std::string_view root) {
    const DriveConfig* drive = root.size() >= 2 && root[1] == ':' ? config_.Drive(root[0]) : nullptr;
    if (!drive) return Fail(Status::path_not_found, "drive " + std::string(root));
    return platform::DiskSpace{space_.Free(drive->letter), space_.Size(drive->letter)};
}

platform::Outcome SandboxFiles::WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                                              std::string_view value) {
    std::string path(file);
    if (path.find_first_of("\\/:") == std::string::npos) path = config_.windows_folder + "\\" + path;
    auto opened = OpenHost(platform::OpenRequest{path, platform::Access::read_write, platform::share::none,
                                                 platform::Disposition::open_always});
    if (!opened) return opened.error();
    HostFile& ini = *opened.value();
    std::string content;
    char buffer[4096];
    for (;;) {
        auto got = ini.Read(buffer, sizeof buffer);
        if (!got) return got.error();
        if (got.value() == 0) break;
        content.append(buffer, got.value());
    }
    const std::string updated = SetIniValue(content, section, key, value);
    if (updated == content) return {};
    if (auto rewound = ini.Seek(0, platform::SeekFrom::begin); !rewound) return rewound.error();
    if (auto written = ini.Write(updated.data(), updated.size()); !written) return written;
    return ini.EndHere();
}

std::string SandboxFiles::CurrentFolder() { return current_.Text(); }

platform::Outcome SandboxFiles::SetCurrentFolder(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    if (!IsFolder(location.value())) return Fail(Status::invalid_argument, location->path.Text() + " is not a folder");
    current_ = location->path;
    return {};
}

}  // namespace rvx::sandbox
