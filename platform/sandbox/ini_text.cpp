// .ini files as the system's profile functions see them.
#include "platform/sandbox/ini_text.h"

#include <optional>

#include "common/text/text.h"

namespace rvx::sandbox {

namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

// The name of a "[name]" line, or nothing for any other line. The system takes the name up to
// the first "]" and does not insist on anything after it.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = text::TrimBlanks(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    return text::TrimBlanks(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// The key of a "key=value" line, or nothing for a line without "=".
std::optional<std::string_view> KeyOf(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return text::TrimBlanks(line.substr(0, equals));
}

// Index of the first line of the first [section] after its header, and of the line after its
// last one; nothing when the file has no such section.
std::optional<std::pair<size_t, size_t>> FindSection(const std::vector<std::string_view>& lines, std::string_view section) {
    const std::string_view wanted = text::TrimBlanks(section);
    for (size_t i = 0; i < lines.size(); ++i) {
        auto name = SectionName(lines[i]);
        if (!name || !text::EqualsIgnoreCase(*name, wanted)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end])) ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

}  // namespace

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value) {
    const bool bare_newlines = text.find('\n') != std::string_view::npos && text.find("\r\n") == std::string_view::npos;
    const std::string_view eol = bare_newlines ? "\n" : "\r\n";
    std::vector<std::string_view> lines = SplitLines(text);
    const std::string_view wanted_key = text::TrimBlanks(key);
    std::vector<std::string> out(lines.begin(), lines.end());

    if (auto found = FindSection(lines, section)) {
        auto [first, end] = *found;
        bool replaced = false;
        for (size_t i = first; i < end && !replaced; ++i) {
            auto existing = KeyOf(lines[i]);
            if (!existing || !text::EqualsIgnoreCase(*existing, wanted_key)) continue;
            out[i] = std::string(*existing) + "=" + std::string(value);
            replaced = true;
        }
        if (!replaced) {
            // After the section's last non-blank line, so blank lines keep separating sections.
            size_t at = end;
            while (at > first && text::TrimBlanks(lines[at - 1]).empty()) --at;
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), std::string(wanted_key) + "=" + std::string(value));
        }
    } else {
        out.push_back("[" + std::string(text::TrimBlanks(section)) + "]");
        out.push_back(std::string(wanted_key) + "=" + std::string(value));
    }

    std::string result;
    for (const auto& line : out) {
        result += line;
        result += eol;
    }
    return result;
}

std::vector<IniEntry> IniSectionEntries(std::string_view text, std::string_view section) {
    const std::vector<std::string_view> lines = SplitLines(text);
    std::vector<IniEntry> entries;
    auto found = FindSection(lines, section);
    if (!found) return entries;
    for (size_t i = found->first; i < found->second; ++i) {
        const size_t equals = lines[i].find('=');
        if (equals == std::string_view::npos) continue;
        entries.push_back(IniEntry{std::string(text::TrimBlanks(lines[i].substr(0, equals))),
                                   std::string(text::TrimBlanks(lines[i].substr(equals + 1)))});
    }
    return entries;
}

}  // namespace rvx::sandbox
