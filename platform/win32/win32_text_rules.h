// Rules of the system's own texts that need no system call, kept free of the system headers so
// that any build can compile and test them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rvx::win32 {

// What follows the program name of a full command line (quoted or not), without leading blanks.
std::string ArgumentsAfterProgramName(std::string_view command_line);

// The same for a command line as the system passes it from an uninstall entry or a shortcut: an
// unquoted program name may hold blanks, and ends, as the system's process start finds it, at the
// first blank where the text before it (with ".exe" when it has no extension) names a file.
// Without such a blank the name ends at the first blank.
std::string ArgumentsAfterProgramName(std::string_view command_line, const std::function<bool(const std::string&)>& is_file);

// True for "C:\..." and "\\server\share\..." paths: the only ones a library is loaded from.
bool IsAbsoluteWindowsPath(std::string_view path);

}  // namespace rvx::win32
