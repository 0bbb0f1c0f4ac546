// Rules of the system's own texts that need no system call, kept free of the system headers so
// that any build can compile and test them.
#pragma once

#include <string>
#include <string_view>

namespace rvx::win32 {

// What follows the program name of a full command line (quoted or not), without leading blanks.
std::string ArgumentsAfterProgramName(std::string_view command_line);

// True for "C:\..." and "\\server\share\..." paths: the only ones a library is loaded from.
bool IsAbsoluteWindowsPath(std::string_view path);

}  // namespace rvx::win32
