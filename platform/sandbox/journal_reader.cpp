// Parsing journal lines.
#include "platform/sandbox/journal_reader.h"

#include "common/text/text.h"

namespace rvx::sandbox {

namespace {

platform::Error Malformed(std::string_view why, size_t at) {
    return platform::Error{platform::Status::invalid_argument, "journal line: " + std::string(why) + " at column " + std::to_string(at + 1)};
}

}  // namespace

std::optional<std::string> JournalLine::Value(std::string_view key) const {
    for (const auto& [name, value] : fields)
        if (name == key) return value;
    return std::nullopt;
}

std::vector<std::string> JournalLine::Values(std::string_view key) const {
    std::vector<std::string> values;
    for (const auto& [name, value] : fields)
        if (name == key) values.push_back(value);
    return values;
}

platform::Result<JournalLine> ParseJournalLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    JournalLine parsed;
    size_t at = line.find(' ');
    parsed.kind = std::string(line.substr(0, at));
    if (parsed.kind.empty()) return Malformed("no kind", 0);
    for (char c : parsed.kind)
        if (!(c >= 'A' && c <= 'Z')) return Malformed("the kind is not in capitals", 0);
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ') ++at;
        if (at >= line.size()) break;
        const size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '=' && line[at] != '"') ++at;
        std::string key(line.substr(start, at - start));
        if (key.empty()) return Malformed("a field without a key", start);
        // The journal writes keys as plain names; a control character (a carriage return left
        // by a line cut twice) would not survive being written again.
        for (size_t i = 0; i < key.size(); ++i)
            if (static_cast<unsigned char>(key[i]) < 0x20 || key[i] == 0x7f)
                return Malformed("a control character in a key", start + i);
        if (at >= line.size() || line[at] == ' ') {
            parsed.fields.emplace_back(std::move(key), "");
            continue;
        }
        if (line[at] == '"') return Malformed("a quote inside a key", at);
        ++at;  // the '='
        std::string value;
        if (at < line.size() && line[at] == '"') {
            const size_t open = at++;
            // The closing quote is the first one that no backslash escapes.
            while (at < line.size() && line[at] != '"') at += line[at] == '\\' ? 2 : 1;
            if (at >= line.size()) return Malformed("an unclosed quote", open);
            if (!text::Unescape(line.substr(open + 1, at - open - 1), value)) return Malformed("a malformed escape", open);
            ++at;
            // A check box's value is followed by its text: "1":"its text"; only the value is kept.
            if (at < line.size() && line[at] == ':' && at + 1 < line.size() && line[at + 1] == '"') {
                const size_t second = ++at;
                ++at;
                while (at < line.size() && line[at] != '"') at += line[at] == '\\' ? 2 : 1;
                if (at >= line.size()) return Malformed("an unclosed quote", second);
                ++at;
            }
            if (at < line.size() && line[at] != ' ') return Malformed("a field glued to a quoted value", at);
        } else {
            const size_t begin = at;
            while (at < line.size() && line[at] != ' ') ++at;
            value = std::string(line.substr(begin, at - begin));
        }
        parsed.fields.emplace_back(std::move(key), std::move(value));
    }
    return parsed;
}

}  // namespace rvx::sandbox
