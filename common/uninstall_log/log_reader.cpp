// Reads an uninstall log back into its lines.
#include "common/uninstall_log/log_reader.h"

namespace rvx::uninstall_log {

namespace {

// The text of one line without its line end: it stops at the first NUL, as the line read into
// a C string would.
std::string LineText(std::string_view line) {
    const size_t nul = line.find('\0');
    return std::string(line.substr(0, nul));
}

}  // namespace

std::vector<std::string> SplitLogLines(std::string_view content) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        const size_t newline = content.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back(LineText(content.substr(start)));
            break;
        }
        size_t end = newline;
        if (end > start && content[end - 1] == '\r') --end;  // text mode: CR LF is one line end
        lines.push_back(LineText(content.substr(start, end - start)));
        start = newline + 1;
    }
    return lines;
}

platform::Result<std::vector<std::string>> ReadLogLines(platform::FileSystem& files, std::string_view path) {
    if (path.empty()) return platform::Fail(platform::Status::invalid_argument, "no uninstall log named");

    auto content = platform::ReadWholeFile(files, path);
    if (!content) return content.error();
    return SplitLogLines(content.value());
}

}  // namespace rvx::uninstall_log
