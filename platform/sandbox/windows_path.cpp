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
    std::string out = std::string(1, drive) + ":";
    if (components.empty()) return out + "\\";
    for (const auto& component : components) out += "\\" + component;
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

platform::Result<WindowsPath> NormalizeWindowsPath(std::string_view path, const WindowsPath& current) {
    std::string text(path);
    for (char& c : text)
        if (c == '/') c = '\\';
    if (text.empty()) return platform::Fail(Status::path_not_found, "an empty path");
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\')
        return platform::Fail(Status::path_not_found, "network path " + text + " (no network on this machine)");

    WindowsPath result = current;
    std::string_view rest = text;
    if (rest.size() >= 2 && rest[1] == ':') {
        if (!std::isalpha(static_cast<unsigned char>(rest[0])))
            return platform::Fail(Status::path_not_found, "bad drive in " + text);
        char drive = text::ToUpper(rest[0]);
        rest.remove_prefix(2);
        if (drive != current.drive) result = WindowsPath{drive, {}};
    }
    if (!rest.empty() && rest.front() == '\\') result.components.clear();

    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = rest.find('\\', pos);
        if (end == std::string_view::npos) end = rest.size();
        std::string_view component = rest.substr(pos, end - pos);
        // The system ignores trailing blanks and dots of a name.
        while (!component.empty() && (component.back() == ' ' || component.back() == '.') && component != "." &&
               component != "..")
            component.remove_suffix(1);
        if (component.empty() || component == ".") {
            // nothing
        } else if (component == "..") {
            if (!result.components.empty()) result.components.pop_back();
        } else if (component.find_first_of("<>:\"|?*") != std::string_view::npos ||
                   std::any_of(component.begin(), component.end(), [](char c) { return c >= 0 && c < 0x20; })) {
            return platform::Fail(Status::invalid_argument, "invalid name in path " + text);
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

platform::Result<HostLocation> ResolveOnHost(const WindowsPath& path, const DriveRootLookup& drive_root, FolderNameIndex* names) {
    HostLocation location;
    location.path.drive = path.drive;
    std::string host;
    if (!drive_root(path.drive, host))
        return platform::Fail(Status::path_not_found, std::string("drive ") + path.drive + ": does not exist");
    struct stat folder;                         // of host, while folder_ok
    bool folder_ok = HostFolder(host, folder);  // host names an existing folder
    location.exists = folder_ok;
    location.parent_exists = true;
    if (names) names->Refresh();
    for (size_t i = 0; i < path.components.size(); ++i) {
        const bool parent_ok = folder_ok;
        const std::string& wanted = path.components[i];
        std::string name = wanted;
        bool found = false;
        if (folder_ok) {
            std::string match = names ? names->FindIgnoringCase(host, folder.st_dev, folder.st_ino, wanted)
                                      : ScanFolderIgnoringCase(host, wanted);
            found = !match.empty();
            if (found) name = match;
        }
        host += "/" + name;
        location.path.components.push_back(name);
        if (i + 1 == path.components.size()) {
            location.parent_exists = parent_ok;
            location.exists = found;
        } else {
            // A folder the index knows to be there needs no look at the host.
            folder_ok = found && ((names && names->KnownSubfolder(host.substr(0, host.size() - name.size() - 1), name,
                                                                  folder.st_dev, folder.st_ino)) ||
                                  HostFolder(host, folder));
        }
    }
    location.host_path = host;
    return location;
}

}  // namespace rvx::sandbox
