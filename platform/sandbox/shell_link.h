// The shell's shortcut file (".lnk") in its binary form, built from a shortcut request and what
// the machine knows of the target, so that the simulated machine leaves behind files the real
// system (and any reader of the format) opens.
#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/result.h"
#include "platform/shell.h"

namespace rvx::sandbox {

// What the machine can tell about a shortcut's target when the shortcut is made. A target that
// does not exist (or is not a local path) leaves the attributes, times and size at zero.
struct LinkTargetFacts {
    uint32_t attributes = 0;
    platform::FileTimes times;
    uint64_t size = 0;                                          // only the low 32 bits are kept
    platform::DriveType drive_type = platform::DriveType::unknown;  // of the target's drive
    uint32_t volume_serial = 0;
};

// The whole file: the header; the link information (volume and local path) when the target is a
// full local path ("C:\..."); then, in single-byte characters of the system's code page, the
// description, the target relative to the shortcut's own folder (when both are on one drive, or
// the target as written when it has no drive), the working folder, the arguments and the icon,
// each only when not empty; and the closing block. invalid_argument when a text is too long for
// the format's 16-bit counts.
platform::Result<std::string> BuildShellLink(const platform::ShortcutSpec& request, const LinkTargetFacts& facts);

// "C:\..." (or "C:/..."): a path on a drive, from its root.
bool IsFullLocalPath(std::string_view path);

// The target relative to the folder that holds link_path (".\name" in the same folder,
// "..\..\Prog\name" elsewhere on the drive); empty when the two are not full paths on one drive.
std::string RelativeTargetPath(std::string_view link_path, std::string_view target);

}  // namespace rvx::sandbox
