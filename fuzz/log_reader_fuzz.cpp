// Fuzz target: the uninstall log's bytes split into lines, whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/uninstall_log/log_reader.h"

using rvx::uninstall_log::SplitLogLines;

namespace {

std::string Join(const std::vector<std::string>& lines) {
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined += '\n';
        joined += lines[i];
    }
    return joined;
}

std::string WithoutCrBeforeLf(std::string_view input) {
    std::string out;
    for (size_t i = 0; i < input.size(); ++i)
        if (!(input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n')) out += input[i];
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto lines = SplitLogLines(input);

    // One line per line feed, and one more for text after the last.
    size_t line_feeds = 0;
    for (char c : input) line_feeds += c == '\n';
    const bool open_last = !input.empty() && input.back() != '\n';
    if (lines.size() != line_feeds + (open_last ? 1 : 0)) __builtin_trap();
    for (const auto& line : lines)
        if (line.find('\n') != std::string::npos || line.find('\0') != std::string::npos) __builtin_trap();

    // With no NUL, nothing is lost but the line feeds and the CRs just before them.
    if (input.find('\0') == std::string_view::npos) {
        std::string rebuilt = Join(lines);
        if (!open_last && !input.empty()) rebuilt += '\n';
        if (rebuilt != WithoutCrBeforeLf(input)) __builtin_trap();
    } else {
        // A NUL only shortens its own line: each line begins the line it would be without NULs.
        std::string replaced(input);
        for (char& c : replaced)
            if (c == '\0') c = '\x01';
        const auto whole = SplitLogLines(replaced);
        if (whole.size() != lines.size()) __builtin_trap();
        for (size_t i = 0; i < lines.size(); ++i)
            if (whole[i].compare(0, lines[i].size(), lines[i]) != 0) __builtin_trap();
    }
    return 0;
}
