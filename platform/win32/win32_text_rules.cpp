// Rules of the system's own texts that need no system call.
#include "platform/win32/win32_text_rules.h"

namespace rvx::win32 {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string ArgumentsAfterProgramName(std::string_view command_line) {
    size_t position = 0;
    while (position < command_line.size() && IsBlank(command_line[position])) ++position;
    if (position < command_line.size() && command_line[position] == '"') {
        // A quoted program name ends at the closing quote, blanks and all.
        const size_t closing = command_line.find('"', position + 1);
        position = closing == std::string_view::npos ? command_line.size() : closing + 1;
    }
    while (position < command_line.size() && !IsBlank(command_line[position])) ++position;
    while (position < command_line.size() && IsBlank(command_line[position])) ++position;
    return std::string(command_line.substr(position));
}

bool IsAbsoluteWindowsPath(std::string_view path) {
    if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

}  // namespace rvx::win32
