// Formatting and recognising the uninstall log's record lines.
#include "common/uninstall_log/records.h"

namespace rvx::uninstall_log {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string_view WithoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The warning's lines, each on a line of its own; the first follows the record's code.
void AppendWarningText(std::string& out, std::string_view text) {
    bool first = true;
    for (;;) {
        const size_t feed = text.find('\n');
        std::string_view line = text.substr(0, feed);
        if (feed != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!first) {
            out += kLineEnd;
            // An empty line would end the warning when it is read back, so it is written as the
            // "\n" mark that stands for one (the mark scripts themselves use); a line that would
            // read as a record gets a blank ahead of it.
            if (line.empty()) out += kEmptyWarningLine;
            else if (line.front() == kRecordMark) out += ' ';
        }
        out += line;
        first = false;
        if (feed == std::string_view::npos) return;
        text.remove_prefix(feed + 1);
    }
}

}  // namespace

bool IsKnownRecordCode(RecordCode code) {
    switch (code) {
    case RecordCode::file:
    case RecordCode::shared_file:
    case RecordCode::install_folder:
    case RecordCode::product:
    case RecordCode::registry_key:
    case RecordCode::command:
    case RecordCode::conditional_file:
    case RecordCode::conditional_command:
    case RecordCode::warning_condition:
    case RecordCode::warning:
    case RecordCode::service:
    case RecordCode::folder_to_remove:
    case RecordCode::selected_registry_key: return true;
    }
    return false;
}

std::string FormatRecord(RecordCode code, std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += kRecordMark;
    out += static_cast<char>(code);
    if (code == RecordCode::warning) {
        AppendWarningText(out, text);
        return out;
    }
    for (char c : text) out += c == '\r' || c == '\n' ? ' ' : c;
    return out;
}

std::optional<Record> ParseRecordLine(std::string_view line) { return ParseRecord(WithoutLineEnd(line)); }

std::optional<Record> ParseRecord(std::string_view line) {
    if (line.size() < 2 || line[0] != kRecordMark || !IsAsciiLetter(line[1])) return std::nullopt;
    return Record{static_cast<RecordCode>(line[1]), std::string(line.substr(2))};
}

bool IsContinuationLine(std::string_view line) { return !line.empty() && line.front() != kRecordMark; }

}  // namespace rvx::uninstall_log
