// Line-by-line changes to machine.ini.
#include "platform/sandbox/machine_ini_update.h"

#include <set>

#include "common/text/text.h"
#include "platform/sandbox/ini_file.h"
#include "platform/sandbox/machine_config.h"

namespace rvx::sandbox {

namespace {

// The lines of text, each with its own line end (the last one may have none).
std::vector<std::string> LinesWithEnds(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.emplace_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

std::string_view LineEnd(std::string_view line) {
    if (line.ends_with("\r\n")) return "\r\n";
    if (line.ends_with("\n")) return "\n";
    return "";
}

std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line;
    return out;
}

}  // namespace

platform::Result<std::string> WithFilesInUse(std::string_view text, const std::vector<std::string>& paths,
                                             std::string_view file_name) {
    auto sections = ParseIni(text, file_name);
    if (!sections) return sections.error();
    std::vector<std::string> lines = LinesWithEnds(text);
    const std::string eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";

    std::set<size_t> dropped;
    size_t header = lines.size();  // index of the first [in-use] line
    for (const auto& section : sections.value()) {
        if (section.name != "in-use") continue;
        if (header == lines.size()) header = static_cast<size_t>(section.number - 1);
        for (const auto& line : section.lines) dropped.insert(static_cast<size_t>(line.number - 1));
    }
    std::vector<std::string> listed;
    for (const auto& path : paths) listed.push_back(path + eol);
    // The list goes below the section's opening comments.
    size_t insert_after = header;
    while (insert_after + 1 < lines.size() && !dropped.count(insert_after + 1)) {
        const std::string_view next = text::TrimBlanks(lines[insert_after + 1]);
        if (next.empty() || (next.front() != ';' && next.front() != '#')) break;
        ++insert_after;
    }

    std::vector<std::string> out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (dropped.count(i)) continue;
        out.push_back(lines[i]);
        if (i == insert_after) {
            if (LineEnd(out.back()).empty()) out.back() += eol;
            out.insert(out.end(), listed.begin(), listed.end());
        }
    }
    if (header == lines.size() && !listed.empty()) {
        if (!out.empty() && LineEnd(out.back()).empty()) out.back() += eol;
        out.push_back("[in-use]" + eol);
        out.insert(out.end(), listed.begin(), listed.end());
    }
    return Join(out);
}

}  // namespace rvx::sandbox
