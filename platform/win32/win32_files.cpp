// The file system of the real machine: paths go to the ANSI functions as they are, so the
// system's own rules for names, case and wildcards apply.
#include "platform/win32/win32_files.h"

#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_file.h"

namespace rvx::win32 {
namespace {

DWORD DesiredAccess(platform::Access access) {
    switch (access) {
    case platform::Access::read: return GENERIC_READ;
    case platform::Access::write: return GENERIC_WRITE;
    case platform::Access::read_write: return GENERIC_READ | GENERIC_WRITE;
    }
    return GENERIC_READ;
}

DWORD ShareMode(uint32_t sharing) {
    DWORD mode = 0;
    if (sharing & platform::share::read) mode |= FILE_SHARE_READ;
    if (sharing & platform::share::write) mode |= FILE_SHARE_WRITE;
    if (sharing & platform::share::remove) mode |= FILE_SHARE_DELETE;
    return mode;
}

DWORD CreationDisposition(platform::Disposition disposition) {
    switch (disposition) {
    case platform::Disposition::open_existing: return OPEN_EXISTING;
    case platform::Disposition::create_always: return CREATE_ALWAYS;
    case platform::Disposition::create_new: return CREATE_NEW;
    case platform::Disposition::open_always: return OPEN_ALWAYS;
    }
    return OPEN_EXISTING;
}

platform::FoundEntry EntryFromFindData(const WIN32_FIND_DATAA& data) {
    platform::FoundEntry entry;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.times = {FromFiletime(data.ftCreationTime), FromFiletime(data.ftLastAccessTime),
                   FromFiletime(data.ftLastWriteTime)};
    return entry;
}

platform::Outcome Check(BOOL succeeded, std::string_view object) {
    if (!succeeded) return LastError(object);
    return {};
}

}  // namespace

platform::Result<std::unique_ptr<platform::File>> Win32FileSystem::Open(const platform::OpenRequest& request) {
    HANDLE handle = CreateFileA(request.path.c_str(), DesiredAccess(request.access), ShareMode(request.sharing), nullptr,
                                CreationDisposition(request.disposition), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError(request.path);
    return std::unique_ptr<platform::File>(std::make_unique<Win32File>(handle, request.path));
}

platform::Result<std::vector<platform::FoundEntry>> Win32FileSystem::FindFiles(std::string_view pattern) {
    const std::string text(pattern);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(text.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return LastError(text);
    std::vector<platform::FoundEntry> entries;
    do {
        entries.push_back(EntryFromFindData(data));
    } while (FindNextFileA(search, &data));
    const DWORD ended = GetLastError();
    FindClose(search);
    if (ended != ERROR_NO_MORE_FILES) return ErrorFromCode(ended, text);
    return entries;
}

platform::Result<uint32_t> Win32FileSystem::ReadAttributes(std::string_view path) {
    const std::string text(path);
    const DWORD found = GetFileAttributesA(text.c_str());
    if (found == INVALID_FILE_ATTRIBUTES) return LastError(text);
    return uint32_t(found);
}

platform::Outcome Win32FileSystem::WriteAttributes(std::string_view path, uint32_t attributes) {
    const std::string text(path);
    return Check(SetFileAttributesA(text.c_str(), attributes), text);
}

platform::Outcome Win32FileSystem::MakeFolder(std::string_view path) {
    const std::string text(path);
    return Check(CreateDirectoryA(text.c_str(), nullptr), text);
}

platform::Outcome Win32FileSystem::RemoveFolder(std::string_view path) {
    const std::string text(path);
    return Check(RemoveDirectoryA(text.c_str()), text);
}

platform::Outcome Win32FileSystem::RemoveFile(std::string_view path) {
    const std::string text(path);
    return Check(DeleteFileA(text.c_str()), text);
}

platform::Outcome Win32FileSystem::RenameFile(std::string_view from, std::string_view to) {
    const std::string source(from), target(to);
    return Check(MoveFileA(source.c_str(), target.c_str()), source + " -> " + target);
}

platform::Outcome Win32FileSystem::ScheduleMoveAtRestart(std::string_view from, std::string_view to) {
    const std::string source(from), target(to);
    // No target asks the system to delete the file at the next start.
    return Check(MoveFileExA(source.c_str(), target.empty() ? nullptr : target.c_str(),
                             MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING),
                 source + " -> " + (target.empty() ? std::string("(deleted)") : target));
}

std::vector<char> Win32FileSystem::Drives() {
    // "A:\<0>C:\<0>...<0><0>": 26 roots of four characters and the final zero at most.
    char buffer[26 * 4 + 2] = {};
    const DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
    std::vector<char> drives;
    if (length == 0 || length > sizeof buffer) return drives;
    for (const char* root = buffer; *root != '\0'; root += std::char_traits<char>::length(root) + 1)
        drives.push_back(root[0]);
    return drives;
}

platform::DriveType Win32FileSystem::DriveKind(std::string_view root) {
    const std::string text(root);
    switch (GetDriveTypeA(text.c_str())) {
    case DRIVE_NO_ROOT_DIR: return platform::DriveType::no_root;
    case DRIVE_REMOVABLE: return platform::DriveType::removable;
    case DRIVE_FIXED: return platform::DriveType::fixed;
    case DRIVE_REMOTE: return platform::DriveType::remote;
    case DRIVE_CDROM: return platform::DriveType::cdrom;
    case DRIVE_RAMDISK: return platform::DriveType::ramdisk;
    default: return platform::DriveType::unknown;
    }
}

platform::Result<platform::DiskSpace> Win32FileSystem::FreeSpace(std::string_view root) {
    const std::string text(root);
    ULARGE_INTEGER available, total, free_total;
    if (!GetDiskFreeSpaceExA(text.c_str(), &available, &total, &free_total)) return LastError(text);
    return platform::DiskSpace{uint64_t(available.QuadPart), uint64_t(total.QuadPart)};
}

platform::Outcome Win32FileSystem::WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                                                 std::string_view value) {
    const std::string path(file), section_text(section), key_text(key), value_text(value);
    return Check(WritePrivateProfileStringA(section_text.c_str(), key_text.c_str(), value_text.c_str(), path.c_str()),
                 path + " [" + section_text + "] " + key_text);
}

std::string Win32FileSystem::CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return {};
    std::string folder(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, folder.data());
    folder.resize(length < needed ? length : 0);
    return folder;
}

platform::Outcome Win32FileSystem::SetCurrentFolder(std::string_view path) {
    const std::string text(path);
    return Check(SetCurrentDirectoryA(text.c_str()), text);
}

}  // namespace rvx::win32
