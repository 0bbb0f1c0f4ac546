// Replacement at the next system start.
#include "installer/files/restart_replacement.h"

#include <vector>

#include "common/text/text.h"
#include "installer/core/state/install_state.h"

namespace rvx::installer {

namespace {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool IsSectionHeader(std::string_view line) {
    const std::string_view trimmed = text::TrimBlanks(line);
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.find(']') != std::string_view::npos;
}

bool IsRenameHeader(std::string_view line) {
    const std::string_view trimmed = text::TrimBlanks(line);
    return IsSectionHeader(trimmed) && text::EqualsIgnoreCase(trimmed.substr(1, trimmed.find(']') - 1), "Rename");
}

}  // namespace

platform::Outcome AppendWininitRename(platform::FileSystem& files, std::string_view wininit_path,
                                      std::string_view old_path, std::string_view new_path) {
    std::vector<std::string> lines;
    if (auto existing = platform::ReadWholeFile(files, wininit_path))
        lines = SplitLines(existing.value());
    else if (existing.status() != platform::Status::not_found)
        return existing.error();

    const std::vector<std::string> entries{"NUL=" + std::string(old_path), std::string(old_path) + "=" + std::string(new_path)};
    size_t header = 0;
    while (header < lines.size() && !IsRenameHeader(lines[header])) ++header;
    if (header == lines.size()) {
        lines.push_back("[Rename]");
        lines.insert(lines.end(), entries.begin(), entries.end());
    } else {
        // After the section's last non-empty line, before the next section.
        size_t end = header + 1;
        while (end < lines.size() && !IsSectionHeader(lines[end])) ++end;
        while (end > header + 1 && text::TrimBlanks(lines[end - 1]).empty()) --end;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), entries.begin(), entries.end());
    }
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    return platform::WriteWholeFile(files, wininit_path, out);
}

void ScheduleReplaceAtRestart(platform::Platform& platform, const std::string& new_path, const std::string& old_path) {
    switch (platform.environment.Version().family) {
    case platform::PlatformFamily::windows_95:
        (void)AppendWininitRename(platform.files, platform.environment.WindowsFolder() + "\\WININIT.INI", old_path, new_path);
        break;
    case platform::PlatformFamily::windows_nt:
        (void)platform.files.ScheduleMoveAtRestart(new_path, old_path);
        break;
    }
}

}  // namespace rvx::installer
