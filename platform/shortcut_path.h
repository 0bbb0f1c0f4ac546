// Where a shortcut file may be written: a check shared by the installer and both machines' shell
// writers, so that a name taken from a script can never put a shortcut anywhere but the folder
// its path spells out.
#pragma once

#include <string_view>

#include "platform/result.h"

namespace rvx::platform {

// The longest path the shell's save call takes, in characters, without its terminating zero.
inline constexpr size_t kMaxShortcutPath = 259;

// True when no component of path (split at "\" and "/") is made only of dots and blanks: the
// system drops a name's trailing dots and blanks, so "...", ". ." and ".. " all climb like "..".
bool HasNoDotComponents(std::string_view path);

// Accepts a full path ("C:\Folder\Name.lnk", or "\\server\share\Name.lnk") whose components hold
// only characters a file name can hold, with no component of dots and blanks alone and no device
// name (CON, NUL, COM1, ...) as the file, within kMaxShortcutPath characters. Anything else is
// invalid_argument naming the path.
Outcome CheckShortcutPath(std::string_view path);

}  // namespace rvx::platform
