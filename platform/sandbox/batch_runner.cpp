// Running batch files on the simulated machine.
#include "platform/sandbox/batch_runner.h"

#include <vector>

#include "common/text/text.h"

namespace rvx::sandbox {

namespace {

std::vector<std::string> SplitLines(std::string_view content) {
    std::vector<std::string> lines;
    while (!content.empty()) {
        const size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    }
    return lines;
}

// The next word of a command: a double-quoted text without its quotes, or a run of non-blanks.
// rest receives what follows, without the blanks in front.
std::string NextWord(std::string_view text, std::string_view& rest) {
    text = text::TrimBlanks(text);
    size_t end = 0;
    std::string word;
    if (!text.empty() && text[0] == '"') {
        const size_t close = text.find('"', 1);
        word = std::string(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        end = close == std::string_view::npos ? text.size() : close + 1;
    } else {
        while (end < text.size() && !text::IsBlank(text[end])) ++end;
        word = std::string(text.substr(0, end));
    }
    rest = text::TrimBlanks(text.substr(end));
    return word;
}

// The label a ":label" line defines: its first word, without the colon.
std::string LabelOf(std::string_view line) {
    line = text::TrimBlanks(line);
    if (line.empty() || line[0] != ':') return {};
    line.remove_prefix(1);
    size_t end = 0;
    while (end < line.size() && !text::IsBlank(line[end])) ++end;
    return std::string(line.substr(0, end));
}

bool HasWildcard(std::string_view path) { return path.find_first_of("*?") != std::string_view::npos; }

// The paths a del or rmdir names. Switches and wildcards are beyond what the machine runs.
bool PathArguments(std::string_view rest, std::vector<std::string>& paths) {
    while (!rest.empty()) paths.push_back(NextWord(rest, rest));
    for (const auto& path : paths)
        if (path.empty() || path[0] == '/' || HasWildcard(path)) return false;
    return !paths.empty();
}

// The interpreter's own wording for what went wrong.
std::string InterpreterMessage(const platform::Error& error, std::string_view path, bool folder) {
    switch (error.status) {
    case platform::Status::not_found:
        return folder ? "The system cannot find the file specified." : "Could Not Find " + std::string(path);
    case platform::Status::path_not_found: return "The system cannot find the path specified.";
    case platform::Status::access_denied: return "Access is denied.";
    case platform::Status::sharing_violation:
        return "The process cannot access the file because it is being used by another process.";
    case platform::Status::not_empty: return "The directory is not empty.";
    default: return error.Describe();
    }
}

}  // namespace

void BatchRunner::Log(std::string_view command, std::string_view result, std::string_view message) {
    std::vector<std::string> fields{Field("batch", batch_), Field("command", command), Word("result", result)};
    if (!message.empty()) fields.push_back(Field("message", message));
    (void)journal_.Write("BATCH", fields);
}

platform::Result<BatchReport> BatchRunner::Run(std::string_view batch_path) {
    batch_ = std::string(batch_path);
    auto content = platform::ReadWholeFile(files_, batch_path);
    if (!content) return content.error();
    const std::vector<std::string> lines = SplitLines(content.value());

    BatchReport report;
    size_t at = 0;
    while (at < lines.size()) {
        if (report.lines == line_limit_) {
            report.stopped = true;
            Log(lines[at], "stopped", "the batch ran " + std::to_string(line_limit_) + " lines without ending");
            break;
        }
        ++report.lines;
        std::string label;
        const Flow flow = Execute(lines[at], label, report);
        // The interpreter reads the next line from the file: a batch that is gone ends here.
        if (!platform::Exists(files_, batch_)) {
            report.deleted_itself = true;
            Log(lines[at], "ended", "The batch file cannot be found.");
            break;
        }
        if (flow == Flow::end) break;
        if (flow == Flow::next) {
            ++at;
            continue;
        }
        // Labels are looked for after the current line first, then from the top.
        size_t found = lines.size();
        for (size_t step = 1; step <= lines.size() && found == lines.size(); ++step) {
            const size_t candidate = (at + step) % lines.size();
            if (text::EqualsIgnoreCase(LabelOf(lines[candidate]), label)) found = candidate;
        }
        if (found == lines.size()) {
            ++report.failed;
            Log(lines[at], "failed", "The system cannot find the batch label specified - " + label);
            break;
        }
        at = found;
    }
    return report;
}

BatchRunner::Flow BatchRunner::Execute(std::string_view line, std::string& jump_label, BatchReport& report) {
    std::string_view command = text::TrimBlanks(line);
    while (!command.empty() && command[0] == '@') command = text::TrimBlanks(command.substr(1));
    if (command.empty() || command[0] == ':') return Flow::next;

    std::string_view rest;
    const std::string verb = text::ToLower(NextWord(command, rest));
    if (verb == "rem") return Flow::next;
    if (verb == "echo" || verb.rfind("echo.", 0) == 0) {
        Log(command, "ok");
        return Flow::next;
    }
    if (verb == "del" || verb == "erase") return RemoveEach(command, rest, false, report);
    if (verb == "rmdir" || verb == "rd") return RemoveEach(command, rest, true, report);
    if (verb == "goto") {
        std::string_view after;
        std::string label = NextWord(rest, after);
        if (!label.empty() && label[0] == ':') label.erase(0, 1);
        if (label.empty()) {
            ++report.failed;
            Log(command, "failed", "No batch label specified to GOTO command.");
            return Flow::end;
        }
        Log(command, "ok");
        if (text::EqualsIgnoreCase(label, "eof")) return Flow::end;
        jump_label = label;
        return Flow::jump;
    }
    if (verb == "if") {
        std::string_view after;
        std::string word = NextWord(rest, after);
        const bool negated = text::EqualsIgnoreCase(word, "not");
        if (negated) word = NextWord(after, after);
        if (text::EqualsIgnoreCase(word, "exist")) {
            const std::string path = NextWord(after, after);
            if (!path.empty() && !after.empty() && !HasWildcard(path)) {
                const bool holds = platform::Exists(files_, path) != negated;
                Log(command, holds ? "true" : "false");
                return holds ? Execute(after, jump_label, report) : Flow::next;
            }
        }
    }
    ++report.failed;
    Log(command, "not-understood");
    return Flow::next;
}

BatchRunner::Flow BatchRunner::RemoveEach(std::string_view command, std::string_view rest, bool folders,
                                           BatchReport& report) {
    std::vector<std::string> paths;
    if (!PathArguments(rest, paths)) {
        ++report.failed;
        Log(command, "not-understood");
        return Flow::next;
    }
    for (const auto& path : paths) {
        // del names files only: a folder's files would go, which no batch here asks for.
        if (!folders && platform::IsFolder(files_, path)) {
            ++report.failed;
            Log(command, "not-understood", path + " is a folder");
            continue;
        }
        if (auto removed = folders ? files_.RemoveFolder(path) : files_.RemoveFile(path); removed) {
            Log(command, "ok");
        } else {
            ++report.failed;
            Log(command, "failed", InterpreterMessage(removed.error(), path, folders));
        }
    }
    return Flow::next;
}

}  // namespace rvx::sandbox
