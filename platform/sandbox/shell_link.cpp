// Building shortcut files byte by byte: every number little-endian, every text in single-byte
// characters of the system's code page (the Unicode flag stays clear).
#include "platform/sandbox/shell_link.h"

#include <cstddef>
#include <string_view>
#include <vector>

#include "common/text/text.h"
#include "platform/shortcut_path.h"

namespace rvx::sandbox {

namespace {

constexpr uint32_t kHeaderSize = 0x4C;
// The shell link class, 00021401-0000-0000-C000-000000000046, as it is stored.
constexpr unsigned char kLinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

namespace link_flags {
constexpr uint32_t has_link_info = 0x02;
constexpr uint32_t has_name = 0x04;
constexpr uint32_t has_relative_path = 0x08;
constexpr uint32_t has_working_dir = 0x10;
constexpr uint32_t has_arguments = 0x20;
constexpr uint32_t has_icon_location = 0x40;
}  // namespace link_flags

constexpr uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kVolumeIdHeaderSize = 0x10;

// The show commands the format knows; any other reads as a normal window.
constexpr uint32_t kShowNormal = 1;
constexpr uint32_t kShowMaximized = 3;
constexpr uint32_t kShowMinimizedNoActivate = 7;

void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}
void Put64(std::string& out, uint64_t value) {
    Put32(out, static_cast<uint32_t>(value));
    Put32(out, static_cast<uint32_t>(value >> 32));
}

// The components after the drive, empty ones dropped.
std::vector<std::string_view> Components(std::string_view full_path) {
    std::vector<std::string_view> parts;
    size_t start = 3;
    while (start <= full_path.size()) {
        size_t end = full_path.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = full_path.size();
        if (end > start) parts.push_back(full_path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

uint32_t ShowCommand(platform::ShowState show) {
    switch (show) {
    case platform::ShowState::maximized: return kShowMaximized;
    case platform::ShowState::minimized: return kShowMinimizedNoActivate;
    case platform::ShowState::normal:
    case platform::ShowState::hidden: break;  // a shortcut cannot start a program hidden
    }
    return kShowNormal;
}

// One StringData entry: a 16-bit count of characters, then the characters without a terminator.
bool PutCountedString(std::string& out, std::string_view value) {
    if (value.size() > 0xFFFF) return false;
    Put16(out, static_cast<uint32_t>(value.size()));
    out.append(value);
    return true;
}

// The volume of the target's drive (empty label) and the target as its local base path.
std::string LinkInfo(std::string_view target, const LinkTargetFacts& facts) {
    std::string volume;
    Put32(volume, kVolumeIdHeaderSize + 1);
    Put32(volume, static_cast<uint32_t>(facts.drive_type));
    Put32(volume, facts.volume_serial);
    Put32(volume, kVolumeIdHeaderSize);
    volume += '\0';

    const auto base_path_offset = static_cast<uint32_t>(kLinkInfoHeaderSize + volume.size());
    const auto suffix_offset = static_cast<uint32_t>(base_path_offset + target.size() + 1);
    const uint32_t size = suffix_offset + 1;
    std::string info;
    Put32(info, size);
    Put32(info, kLinkInfoHeaderSize);
    Put32(info, kVolumeIdAndLocalBasePath);
    Put32(info, kLinkInfoHeaderSize);
    Put32(info, base_path_offset);
    Put32(info, 0);  // no network share
    Put32(info, suffix_offset);
    info += volume;
    info.append(target);
    info += '\0';
    info += '\0';  // the common path suffix: empty
    return info;
}

}  // namespace

bool IsFullLocalPath(std::string_view path) {
    const char drive = text::ToUpper(path.empty() ? '\0' : path[0]);
    return path.size() >= 3 && drive >= 'A' && drive <= 'Z' && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

std::string RelativeTargetPath(std::string_view link_path, std::string_view target) {
    if (!IsFullLocalPath(link_path) || !IsFullLocalPath(target)) return {};
    if (text::ToUpper(link_path[0]) != text::ToUpper(target[0])) return {};
    if (!platform::HasNoDotComponents(link_path) || !platform::HasNoDotComponents(target)) return {};
    std::vector<std::string_view> folder = Components(link_path);
    if (!folder.empty()) folder.pop_back();  // the shortcut's own name
    const std::vector<std::string_view> to = Components(target);
    if (to.empty()) return {};
    size_t common = 0;
    while (common < folder.size() && common + 1 < to.size() && text::EqualsIgnoreCase(folder[common], to[common])) ++common;
    std::string relative;
    for (size_t up = common; up < folder.size(); ++up) relative += "..\\";
    if (relative.empty()) relative = ".\\";
    for (size_t i = common; i < to.size(); ++i) {
        relative.append(to[i]);
        if (i + 1 < to.size()) relative += '\\';
    }
    return relative;
}

platform::Result<std::string> BuildShellLink(const platform::ShortcutSpec& request, const LinkTargetFacts& facts) {
    const bool local_target = IsFullLocalPath(request.target);
    std::string relative = local_target ? RelativeTargetPath(request.link_path, request.target) : request.target;

    uint32_t flags = 0;
    if (local_target) flags |= link_flags::has_link_info;
    if (!request.description.empty()) flags |= link_flags::has_name;
    if (!relative.empty()) flags |= link_flags::has_relative_path;
    if (!request.working_folder.empty()) flags |= link_flags::has_working_dir;
    if (!request.arguments.empty()) flags |= link_flags::has_arguments;
    if (!request.icon_path.empty()) flags |= link_flags::has_icon_location;

    // "Normal" stands alone: it is dropped as soon as any other attribute is set.
    uint32_t attributes = facts.attributes;
    if (attributes & ~platform::attributes::normal) attributes &= ~platform::attributes::normal;

    std::string out;
    Put32(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClassId), sizeof kLinkClassId);
    Put32(out, flags);
    Put32(out, attributes);
    Put64(out, facts.times.creation.ticks);
    Put64(out, facts.times.last_access.ticks);
    Put64(out, facts.times.last_write.ticks);
    Put32(out, static_cast<uint32_t>(facts.size & 0xFFFFFFFF));
    Put32(out, static_cast<uint32_t>(request.icon_index));
    Put32(out, ShowCommand(request.show));
    Put16(out, 0);  // no hot key
    Put16(out, 0);
    Put32(out, 0);
    Put32(out, 0);

    if (local_target) out += LinkInfo(request.target, facts);

    bool fits = true;
    if (flags & link_flags::has_name) fits &= PutCountedString(out, request.description);
    if (flags & link_flags::has_relative_path) fits &= PutCountedString(out, relative);
    if (flags & link_flags::has_working_dir) fits &= PutCountedString(out, request.working_folder);
    if (flags & link_flags::has_arguments) fits &= PutCountedString(out, request.arguments);
    if (flags & link_flags::has_icon_location) fits &= PutCountedString(out, request.icon_path);
    if (!fits) return platform::Fail(platform::Status::invalid_argument, "a text of shortcut " + request.link_path + " is too long");

    Put32(out, 0);  // the closing block of the (empty) extra data
    return out;
}

}  // namespace rvx::sandbox
