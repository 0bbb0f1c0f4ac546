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
#include "platform/sandbox/wildcard.h"

namespace rvx::sandbox {

using platform::Fail;
using platform::Status;

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

platform::FoundEntry EntryFromStat(std::string name, const struct stat& info) {
    platform::FoundEntry entry;
    entry.name = std::move(name);
    entry.attributes = S_ISDIR(info.st_mode) ? platform::attributes::directory : platform::attributes::archive;
    entry.size = S_ISDIR(info.st_mode) ? 0 : static_cast<uint64_t>(info.st_size);
    entry.times.last_write = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    entry.times.last_access = FileTimeFromUnix(info.st_atim.tv_sec, info.st_atim.tv_nsec);
    entry.times.creation = FileTimeFromUnix(info.st_ctim.tv_sec, info.st_ctim.tv_nsec);
    return entry;
}

bool IsHostFolder(const std::string& host_path) {
    struct stat info;
    return ::stat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

SandboxFiles::SandboxFiles(const MachineConfig& config, std::string machine_folder)
    : config_(config),
      machine_folder_(std::move(machine_folder)),
      in_use_(NormalizeAll(config.files_in_use)),
      denied_(NormalizeAll(config.denied_paths)),
      current_{'C', {}} {}

bool SandboxFiles::DriveRoot(char drive, std::string& host_root) const {
    const DriveConfig* config = config_.Drive(drive);
    if (!config) return false;
    host_root = config->host_folder.empty() ? machine_folder_ + "/drives/" + std::string(1, config->letter)
                                            : config->host_folder;
    return true;
}

platform::Result<HostLocation> SandboxFiles::Locate(std::string_view path) {
    auto normal = NormalizeWindowsPath(path, current_);
    if (!normal) return normal.error();
    return ResolveOnHost(normal.value(), [this](char drive, std::string& root) { return DriveRoot(drive, root); });
}

platform::Outcome SandboxFiles::CheckChange(const WindowsPath& path, bool touches_existing_file) {
    const DriveConfig* drive = config_.Drive(path.drive);
    if (drive && (drive->read_only || drive->type == platform::DriveType::cdrom))
        return Fail(Status::access_denied, path.Text() + " is on a read-only drive");
    for (const auto& denied : denied_)
        if (path.IsWithin(denied)) return Fail(Status::access_denied, path.Text());
    if (touches_existing_file)
        for (const auto& busy : in_use_)
            if (SamePath(path, busy)) return Fail(Status::sharing_violation, path.Text() + " is in use");
    return {};
}

platform::Result<std::unique_ptr<platform::File>> SandboxFiles::Open(const platform::OpenRequest& request) {
    auto location = Locate(request.path);
    if (!location) return location.error();
    const HostLocation& where = location.value();
    const std::string windows_path = where.path.Text();
    if (where.exists && IsHostFolder(where.host_path)) return Fail(Status::access_denied, windows_path + " is a folder");

    const bool writes = request.access != platform::Access::read;
    const bool creates = request.disposition != platform::Disposition::open_existing;
    if (writes || (creates && !where.exists)) {
        if (auto allowed = CheckChange(where.path, where.exists); !allowed) return allowed.error();
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
    int fd = ::open(where.host_path.c_str(), flags, 0644);
    if (fd < 0) return HostError(errno, windows_path);
    return std::unique_ptr<platform::File>(std::make_unique<HostFile>(fd, windows_path, writes));
}

platform::Result<std::vector<platform::FoundEntry>> SandboxFiles::FindFiles(std::string_view pattern) {
    // The last component is a search mask, which may hold wildcards a path may not.
    const size_t cut = pattern.find_last_of("\\/");
    const std::string mask(cut == std::string_view::npos ? pattern : pattern.substr(cut + 1));
    if (mask.empty() || mask == "." || mask == "..") return Fail(Status::not_found, std::string(pattern));
    std::string folder_text(cut == std::string_view::npos ? std::string_view(".") : pattern.substr(0, cut + 1));
    if (folder_text.size() == 2 && folder_text[1] == ':') folder_text += ".";  // "C:*.txt" searches the current folder
    auto normal = NormalizeWindowsPath(folder_text, current_);
    if (!normal) return normal.error();
    normal->components.push_back(mask);
    auto folder = ResolveOnHost(normal->Parent(), [this](char drive, std::string& root) { return DriveRoot(drive, root); });
    if (!folder) return folder.error();
    if (!folder->exists || !IsHostFolder(folder->host_path)) return Fail(Status::path_not_found, folder->path.Text());

    std::vector<platform::FoundEntry> entries;
    DIR* dir = ::opendir(folder->host_path.c_str());
    if (!dir) return HostError(errno, folder->path.Text());
    while (const dirent* item = ::readdir(dir)) {
        std::string name = item->d_name;
        bool dot_entry = name == "." || name == "..";
        // A drive's root folder has no "." and ".." entries on the system.
        if (dot_entry && folder->path.IsRoot()) continue;
        if (!MatchesSearchPattern(mask, name)) continue;
        struct stat info;
        if (::stat((folder->host_path + "/" + name).c_str(), &info) != 0) continue;
        entries.push_back(EntryFromStat(std::move(name), info));
    }
    ::closedir(dir);
    if (entries.empty()) return Fail(Status::not_found, normal->Text());
    // The host lists in no useful order; sort so that every run sees the same order.
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return text::ToUpper(a.name) < text::ToUpper(b.name) || (text::ToUpper(a.name) == text::ToUpper(b.name) && a.name < b.name);
    });
    return entries;
}

platform::Result<uint32_t> SandboxFiles::ReadAttributes(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    return IsHostFolder(location->host_path) ? platform::attributes::directory : platform::attributes::archive;
}

platform::Outcome SandboxFiles::WriteAttributes(std::string_view, uint32_t) {
    return platform::NotAvailableYet("file attributes on the simulated machine");
}

platform::Outcome SandboxFiles::MakeFolder(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (location->exists) return Fail(Status::already_exists, location->path.Text());
    if (!location->parent_exists) return Fail(Status::path_not_found, location->path.Text());
    if (auto allowed = CheckChange(location->path, false); !allowed) return allowed;
    if (::mkdir(location->host_path.c_str(), 0755) != 0) return HostError(errno, location->path.Text());
    return {};
}

platform::Outcome SandboxFiles::RemoveFolder(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    if (!IsHostFolder(location->host_path)) return Fail(Status::invalid_argument, location->path.Text() + " is not a folder");
    if (location->path.IsRoot()) return Fail(Status::access_denied, "the root folder of a drive");
    if (auto allowed = CheckChange(location->path, false); !allowed) return allowed;
    if (location->path.drive == current_.drive && current_.IsWithin(location->path))
        return Fail(Status::sharing_violation, location->path.Text() + " is the current folder");
    if (::rmdir(location->host_path.c_str()) != 0) return HostError(errno, location->path.Text());
    return {};
}

platform::Outcome SandboxFiles::RemoveFile(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    if (IsHostFolder(location->host_path)) return Fail(Status::access_denied, location->path.Text() + " is a folder");
    if (auto allowed = CheckChange(location->path, true); !allowed) return allowed;
    if (::unlink(location->host_path.c_str()) != 0) return HostError(errno, location->path.Text());
    return {};
}

platform::Outcome SandboxFiles::RenameFile(std::string_view from, std::string_view to) {
    auto source = Locate(from);
    if (!source) return source.error();
    auto target = Locate(to);
    if (!target) return target.error();
    if (!source->exists) return Missing(source.value());
    if (target->exists) return Fail(Status::already_exists, target->path.Text());
    if (!target->parent_exists) return Fail(Status::path_not_found, target->path.Text());
    if (auto allowed = CheckChange(source->path, true); !allowed) return allowed;
    if (auto allowed = CheckChange(target->path, false); !allowed) return allowed;
    if (::rename(source->host_path.c_str(), target->host_path.c_str()) != 0) return HostError(errno, source->path.Text());
    return {};
}

platform::Outcome SandboxFiles::ScheduleMoveAtRestart(std::string_view, std::string_view) {
    return platform::NotAvailableYet("replacing files at restart on the simulated machine");
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
    uint64_t free_bytes = drive->free_kilobytes * 1024;
    return platform::DiskSpace{free_bytes, free_bytes};
}

platform::Outcome SandboxFiles::WriteIniValue(std::string_view, std::string_view, std::string_view, std::string_view) {
    return platform::NotAvailableYet("writing .ini values on the simulated machine");
}

std::string SandboxFiles::CurrentFolder() { return current_.Text(); }

platform::Outcome SandboxFiles::SetCurrentFolder(std::string_view path) {
    auto location = Locate(path);
    if (!location) return location.error();
    if (!location->exists) return Missing(location.value());
    if (!IsHostFolder(location->host_path)) return Fail(Status::invalid_argument, location->path.Text() + " is not a folder");
    current_ = location->path;
    return {};
}

}  // namespace rvx::sandbox
