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

std::string ArgumentsAfterProgramName(std::string_view command_line, const std::function<bool(const std::string&)>& is_file) {
    size_t start = 0;
    while (start < command_line.size() && IsBlank(command_line[start])) ++start;
    if (start >= command_line.size() || command_line[start] == '"') return ArgumentsAfterProgramName(command_line);
    for (size_t end = start + 1; end <= command_line.size(); ++end) {
        if (end < command_line.size() && (!IsBlank(command_line[end]) || IsBlank(command_line[end - 1]))) continue;
        std::string program(command_line.substr(start, end - start));
        const size_t name = program.find_last_of("\\/:");
        if (program.find('.', name == std::string::npos ? 0 : name + 1) == std::string::npos) program += ".exe";
        if (!is_file(program)) continue;
        size_t arguments = end;
        while (arguments < command_line.size() && IsBlank(command_line[arguments])) ++arguments;
        return std::string(command_line.substr(arguments));
    }
    return ArgumentsAfterProgramName(command_line);
}

bool IsAbsoluteWindowsPath(std::string_view path) {
    if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

}  // namespace rvx::win32
