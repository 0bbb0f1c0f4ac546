// The shortcut path check.
#include "platform/shortcut_path.h"

#include <string>

#include "common/text/text.h"

namespace rvx::platform {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Calls visit(component) for each component between separators, empty ones included.
template <class Visit>
bool EveryComponent(std::string_view path, Visit&& visit) {
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        if (!visit(path.substr(start, end - start))) return false;
        if (end == path.size()) return true;
        start = end + 1;
    }
}

bool IsDotsAndBlanks(std::string_view component) {
    if (component.empty()) return false;
    for (char c : component)
        if (c != '.' && c != ' ') return false;
    return true;
}

bool HasForbiddenCharacter(std::string_view component) {
    for (char c : component) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) return true;
    }
    return false;
}

// The system opens a device for these names whatever extension follows them.
bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"})
        if (text::EqualsIgnoreCase(base, device)) return true;
    if (base.size() == 4 && (text::StartsWithIgnoreCase(base, "COM") || text::StartsWithIgnoreCase(base, "LPT")))
        return base[3] >= '1' && base[3] <= '9';
    return false;
}

Error Refused(std::string_view path, const char* reason) {
    return Fail(Status::invalid_argument, "shortcut path " + std::string(path) + ": " + reason);
}

}  // namespace

bool HasNoDotComponents(std::string_view path) {
    return EveryComponent(path, [](std::string_view component) { return !IsDotsAndBlanks(component); });
}

Outcome CheckShortcutPath(std::string_view path) {
    if (path.size() > kMaxShortcutPath) return Refused(path, "longer than the shell accepts");
    std::string_view rest;
    if (path.size() >= 3 && text::ToUpper(path[0]) >= 'A' && text::ToUpper(path[0]) <= 'Z' && path[1] == ':' &&
        IsSeparator(path[2])) {
        rest = path.substr(3);
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        rest = path.substr(2);
    } else {
        return Refused(path, "not a full path");
    }
    if (!HasNoDotComponents(rest)) return Refused(path, "a component of dots would leave its folder");
    if (!EveryComponent(rest, [](std::string_view component) { return !HasForbiddenCharacter(component); }))
        return Refused(path, "a name holds a character no file name can hold");
    const size_t last = path.find_last_of("\\/");
    const std::string_view name = path.substr(last + 1);
    if (name.empty()) return Refused(path, "no file name");
    if (IsDeviceName(name)) return Refused(path, "the name of a device");
    return {};
}

}  // namespace rvx::platform
