// Reads an uninstall log back into its lines.
#include "common/uninstall_log/log_reader.h"


namespace rvx::uninstall_log {

namespace {

constexpr size_t kChunkSize = 64 * 1024;

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

    platform::OpenRequest request;
    request.path = std::string(path);
    request.access = platform::Access::read;
    request.sharing = platform::share::read;
    request.disposition = platform::Disposition::open_existing;
    auto opened = files.Open(request);
    if (!opened) return opened.error();

    // The whole file is gathered before splitting so that a CR LF falling across two chunks
    // still counts as one line end.
    std::string content;
    std::vector<char> chunk(kChunkSize);
    for (;;) {
        auto got = opened.value()->Read(chunk.data(), chunk.size());
        if (!got) return got.error();
        if (got.value() == 0) break;
        content.append(chunk.data(), got.value());
    }
    return SplitLogLines(content);
}

}  // namespace rvx::uninstall_log
