// Windows paths on the simulated machine.
#include "platform/sandbox/windows_path.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "common/text/text.h"
#include "platform/sandbox/folder_name_index.h"

namespace rvx::sandbox {

using platform::Status;

std::string WindowsPath::Text() const {
    size_t size = 3;
    for (const auto& component : components) size += component.size() + 1;
    std::string out;
    out.reserve(size);
    out += drive;
    out += ':';
    if (components.empty()) return out += '\\';
    for (const auto& component : components) {
        out += '\\';
        out += component;
    }
    return out;
}

WindowsPath WindowsPath::Parent() const {
    WindowsPath parent = *this;
    if (!parent.components.empty()) parent.components.pop_back();
    return parent;
}

bool WindowsPath::IsWithin(const WindowsPath& other) const {
    if (drive != other.drive || components.size() < other.components.size()) return false;
    for (size_t i = 0; i < other.components.size(); ++i)
        if (!text::EqualsIgnoreCase(components[i], other.components[i])) return false;
    return true;
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The characters no name may hold: "<>:\"|?*" and the control characters.
struct InvalidNameCharacters {
    bool table[256] = {};
    constexpr InvalidNameCharacters() {
        for (int c = 0; c < 0x20; ++c) table[c] = true;
        for (char c : std::string_view("<>:\"|?*")) table[static_cast<unsigned char>(c)] = true;
    }
};
constexpr InvalidNameCharacters kInvalidName;

bool IsValidName(std::string_view name) {
    for (char c : name)
        if (kInvalidName.table[static_cast<unsigned char>(c)]) return false;
    return true;
}

// The path as messages name it: with "\" for every "/".
std::string MessageText(std::string_view path) {
    std::string text(path);
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

}  // namespace

platform::Result<WindowsPath> NormalizeWindowsPath(std::string_view path, const WindowsPath& current) {
    if (path.empty()) return platform::Fail(Status::path_not_found, "an empty path");
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return platform::Fail(Status::path_not_found, "network path " + MessageText(path) + " (no network on this machine)");

    std::string_view rest = path;
    char drive = current.drive;
    if (rest.size() >= 2 && rest[1] == ':') {
        if (!std::isalpha(static_cast<unsigned char>(rest[0])))
            return platform::Fail(Status::path_not_found, "bad drive in " + MessageText(path));
        drive = text::ToUpper(rest[0]);
        rest.remove_prefix(2);
    }
    WindowsPath result{drive, {}};
    // A path from the root needs nothing of the current folder; nor does one on another drive.
    const bool relative = drive == current.drive && !(!rest.empty() && IsSeparator(rest.front()));
    result.components.reserve((relative ? current.components.size() : 0) + 1 +
                              static_cast<size_t>(std::count_if(rest.begin(), rest.end(), IsSeparator)));
    if (relative) result.components = current.components;

    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = pos;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        std::string_view component = rest.substr(pos, end - pos);
        // The system ignores trailing blanks and dots of a name.
        while (!component.empty() && (component.back() == ' ' || component.back() == '.') && component != "." &&
               component != "..")
            component.remove_suffix(1);
        if (component.empty() || component == ".") {
            // nothing
        } else if (component == "..") {
            if (!result.components.empty()) result.components.pop_back();
        } else if (!IsValidName(component)) {
            return platform::Fail(Status::invalid_argument, "invalid name in path " + MessageText(path));
        } else {
            result.components.emplace_back(component);
        }
        pos = end + 1;
    }
    return result;
}

namespace {

// The folder at host_path, when it is one.
bool HostFolder(const std::string& host_path, struct stat& info) { return ::stat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode); }

}  // namespace

platform::Result<HostLocation> ResolveOnHost(WindowsPath path, const DriveRootLookup& drive_root, FolderNameIndex* names) {
    HostLocation location;
    // The path's names take the host's spelling as the walk finds them, in place: the same
    // names ignoring case, so their strings rarely need room of their own.
    location.path = std::move(path);
    std::vector<std::string>& spelled = location.path.components;
    const char drive = location.path.drive;
    std::string& host = location.host_path;
    if (!drive_root(drive, host)) return platform::Fail(Status::path_not_found, std::string("drive ") + drive + ": does not exist");
    size_t length = host.size();
    for (const auto& component : spelled) length += component.size() + 1;
    host.reserve(length);
    if (names) names->Refresh();
    const size_t count = spelled.size();
    location.parent_exists = true;

    // A folder resolved lately, the path itself or its parent, is where the walk starts.
    const FolderNameIndex::ResolvedFolder* known = nullptr;
    if (names && count > 0) {
        known = names->FindResolved(drive, host, spelled, count);
        if (known) {
            location.host_path = known->host;
            std::copy(known->names.begin(), known->names.end(), spelled.begin());
            location.exists = true;
            location.kind = HostEntryKind::folder;
            return location;
        }
        if (count > 1) known = names->FindResolved(drive, host, spelled, count - 1);
    }
    const std::string drive_host = known || !names ? std::string() : host;

    // The folder reached so far: its index entry, when it has one. The drive's folder is asked
    // for unless the index watches everything that could take it away.
    FolderNameIndex::Entry entry = nullptr;
    bool folder_ok = false;  // host names an existing folder
    size_t first = 0;
    // Whether the folders passed so far could be noted for later walks.
    bool notable = false;
    if (known) {
        host = known->host;
        std::copy(known->names.begin(), known->names.end(), spelled.begin());
        entry = known->entry;
        folder_ok = true;
        first = count - 1;
    } else {
        entry = names ? names->KnownDriveFolder(host) : nullptr;
        folder_ok = entry != nullptr;
        notable = folder_ok;
        struct stat folder {};
        if (!folder_ok) {
            folder_ok = HostFolder(host, folder);
            entry = folder_ok && names ? names->EnterDriveFolder(host, folder.st_dev, folder.st_ino) : nullptr;
        }
        location.exists = folder_ok;
        if (count == 0) location.kind = entry ? HostEntryKind::folder : HostEntryKind::unknown;
    }
    for (size_t i = first; i < count; ++i) {
        const bool last = i + 1 == count;
        std::string& name = spelled[i];  // as asked for, until the host's spelling replaces it
        bool found = false;
        bool unique = false;
        HostEntryKind kind = HostEntryKind::unknown;
        FolderNameIndex::Entry subfolder = nullptr;
        host += '/';
        if (!folder_ok) {
            host += name;
        } else if (FolderNameIndex::Match match = entry ? names->Find(entry, name) : FolderNameIndex::Match{FolderNameIndex::Match::Result::ask_host};
                   match.result == FolderNameIndex::Match::Result::found) {
            found = true;
            unique = match.unique;
            name = *match.name;
            host += name;
            kind = match.kind;
            subfolder = match.subfolder;
        } else if (match.result == FolderNameIndex::Match::Result::missing) {
            host += name;
        } else {
            const std::string parent = host.substr(0, host.size() - 1);
            std::string listed = names ? names->ReadFolderIgnoringCase(parent, name) : ScanFolderIgnoringCase(parent, name);
            found = !listed.empty();
            if (found) name = std::move(listed);
            host += name;
        }
        if (last) {
            location.parent_exists = folder_ok;
            location.exists = found;
            location.kind = found ? kind : HostEntryKind::unknown;
            break;
        }
        if (subfolder) {
            // A folder the index knows to be there needs no look at the host.
            entry = subfolder;
        } else {
            struct stat folder {};
            folder_ok = found && kind != HostEntryKind::not_folder && HostFolder(host, folder);
            entry = folder_ok && names ? names->Enter(host, folder.st_dev, folder.st_ino) : nullptr;
        }
        notable = notable && unique && entry != nullptr;
        if (notable && i + 2 == count) {
            // The parent of the path, reached through names the index alone answered for.
            std::vector<std::string> passed(spelled.begin(), spelled.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            names->NoteResolved(drive, drive_host, std::move(passed), host, entry);
        }
    }
    return location;
}

}  // namespace rvx::sandbox
