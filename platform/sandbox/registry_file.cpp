// The registry editor's text format.
#include "platform/sandbox/registry_file.h"

#include <cstdio>
#include <optional>

#include "common/text/text.h"

namespace rvx::sandbox {

using platform::Fail;
using platform::RegValue;
using platform::RootKey;
using platform::Status;

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";
constexpr size_t kLineLength = 80;  // hex lines are wrapped as the registry editor wraps them
constexpr std::string_view kIndent = "  ";

std::optional<RootKey> RootFromName(std::string_view name) {
    if (auto full = platform::RootKeyFromFullName(name)) return full;
    return platform::RootKeyFromShortNameIgnoringCase(name);
}

// A UTF-16LE file with its mark becomes 8-bit text; false when a character does not fit.
bool DecodeUtf16(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 2; i + 1 < text.size(); i += 2) {
        unsigned unit = static_cast<unsigned char>(text[i]) | static_cast<unsigned char>(text[i + 1]) << 8;
        if (unit > 0xFF) return false;
        out += static_cast<char>(unit);
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted text with \\ and \" escapes starting at pos (on the opening quote).
std::optional<std::string> Quoted(std::string_view line, size_t& pos) {
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\' && pos + 1 < line.size() && (line[pos + 1] == '\\' || line[pos + 1] == '"')) c = line[++pos];
        out += c;
    }
    return std::nullopt;
}

// Whether a value line holds hex bytes, the only kind of data that continues on further lines.
// The name is skipped properly, as it may itself contain "=hex".
bool IsHexValue(std::string_view line) {
    size_t pos = 0;
    if (line.front() == '@') {
        pos = 1;
    } else if (!Quoted(line, pos)) {
        return false;
    }
    while (pos < line.size() && text::IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=') return false;
    return text::StartsWithIgnoreCase(text::TrimBlanks(line.substr(pos + 1)), "hex");
}

class Parser {
public:
    Parser(std::string_view text, std::string_view file_name) : text_(text), file_name_(file_name) {}

    platform::Result<RegistryTree> Run() {
        bool header_seen = false;
        while (NextLine()) {
            std::string_view line = text::TrimBlanks(line_);
            if (line.empty() || line.front() == ';') continue;
            if (!header_seen) {
                if (line != kHeader && line != kOldHeader)
                    return Error("the file must begin with \"" + std::string(kHeader) + "\"");
                header_seen = true;
                continue;
            }
            if (line.front() == '[') {
                if (auto bad = Section(line)) return Error(*bad);
            } else if (line.front() == '"' || line.front() == '@') {
                if (!have_key_) return Error("a value line outside a [key] section");
                std::string logical(line);
                const int first_line = number_;
                // Long hex values continue on the following lines after a final "\".
                if (IsHexValue(line)) {
                    while (logical.back() == '\\') {
                        logical.pop_back();
                        if (!NextLine()) return Error("the file ends inside a continued value", first_line);
                        logical += text::TrimBlanks(line_);
                    }
                }
                if (auto bad = Value(logical)) return Error(*bad, first_line);
            } else {
                return Error("expected a [key] or a \"name\"=value line");
            }
        }
        if (!header_seen) return Error("the file is empty");
        return std::move(tree_);
    }

private:
    bool NextLine() {
        if (pos_ > text_.size()) return false;
        size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        line_ = text_.substr(pos_, end - pos_);
        if (!line_.empty() && line_.back() == '\r') line_.remove_suffix(1);
        pos_ = end + 1;
        ++number_;
        return true;
    }

    // A value continued over several lines is reported at its first line.
    platform::Error Error(const std::string& why, int line = 0) const {
        return Fail(Status::invalid_argument,
                    std::string(file_name_) + " line " + std::to_string(line ? line : number_) + ": " + why);
    }

    std::optional<std::string> Section(std::string_view line) {
        if (line.back() != ']') return "a key line must end with \"]\"";
        std::string_view inside = line.substr(1, line.size() - 2);
        const bool remove = !inside.empty() && inside.front() == '-';
        if (remove) inside.remove_prefix(1);
        size_t slash = inside.find('\\');
        auto root = RootFromName(inside.substr(0, slash));
        if (!root) return "unknown root key \"" + std::string(inside.substr(0, slash)) + "\"";
        std::string subkey(slash == std::string_view::npos ? std::string_view() : inside.substr(slash + 1));
        if (auto problem = KeyPathProblem(subkey)) return problem;
        if (remove) {
            tree_.DeleteTree(*root, subkey);
            have_key_ = false;
        } else {
            tree_.CreateKey(*root, subkey);
            root_ = *root;
            subkey_ = subkey;
            have_key_ = true;
        }
        return std::nullopt;
    }

    std::optional<std::string> Value(std::string_view line) {
        size_t pos = 0;
        std::string name;
        if (line.front() == '@') {
            pos = 1;
        } else {
            auto quoted = Quoted(line, pos);
            if (!quoted) return "the value name has no closing quote";
            name = *quoted;
            if (auto problem = ValueNameProblem(name)) return problem;
        }
        while (pos < line.size() && text::IsBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != '=') return "expected \"=\" after the value name";
        std::string_view data = text::TrimBlanks(line.substr(pos + 1));

        if (data == "-") {
            (void)tree_.DeleteValue(root_, subkey_, name);
            return std::nullopt;
        }
        if (!data.empty() && data.front() == '"') {
            size_t at = 0;
            auto quoted = Quoted(data, at);
            if (!quoted) return "the text has no closing quote";
            if (at != data.size()) return "unexpected characters after the text";
            tree_.WriteValue(root_, subkey_, name, RegValue::Text(*quoted));
            return std::nullopt;
        }
        if (text::StartsWithIgnoreCase(data, "dword:")) {
            std::string_view digits = data.substr(6);
            if (digits.empty() || digits.size() > 8) return "a dword needs 1 to 8 hexadecimal digits";
            uint32_t number = 0;
            for (char c : digits) {
                int digit = HexDigit(c);
                if (digit < 0) return "a dword needs 1 to 8 hexadecimal digits";
                number = number << 4 | static_cast<uint32_t>(digit);
            }
            tree_.WriteValue(root_, subkey_, name, RegValue::Dword(number));
            return std::nullopt;
        }
        if (text::StartsWithIgnoreCase(data, "hex")) {
            RegValue value;
            value.type = platform::value_type::binary;
            std::string_view rest = data.substr(3);
            if (!rest.empty() && rest.front() == '(') {
                size_t close = rest.find(')');
                if (close == std::string_view::npos || close == 1 || close > 9) return "a hex(type) needs a hexadecimal type";
                uint32_t type = 0;
                for (char c : rest.substr(1, close - 1)) {
                    int digit = HexDigit(c);
                    if (digit < 0) return "a hex(type) needs a hexadecimal type";
                    type = type << 4 | static_cast<uint32_t>(digit);
                }
                value.type = type;
                rest.remove_prefix(close + 1);
            }
            if (rest.empty() || rest.front() != ':') return "expected \":\" after hex";
            rest.remove_prefix(1);
            std::string bytes;
            for (char c : rest)
                if (!text::IsBlank(c)) bytes += c;
            for (size_t i = 0; i < bytes.size(); i += 3) {
                int high = HexDigit(bytes[i]);
                int low = i + 1 < bytes.size() ? HexDigit(bytes[i + 1]) : -1;
                if (high < 0 || low < 0) return "bytes must be pairs of hexadecimal digits";
                if (i + 2 < bytes.size() && bytes[i + 2] != ',') return "bytes must be separated by commas";
                if (i + 2 == bytes.size() - 1) return "a comma after the last byte";
                value.data.push_back(static_cast<uint8_t>(high << 4 | low));
            }
            tree_.WriteValue(root_, subkey_, name, std::move(value));
            return std::nullopt;
        }
        return "unknown kind of value data";
    }

    std::string_view text_;
    std::string_view file_name_;
    std::string_view line_;
    size_t pos_ = 0;
    int number_ = 0;
    RegistryTree tree_;
    bool have_key_ = false;
    RootKey root_ = RootKey::local_machine;
    std::string subkey_;
};

std::string EscapeQuoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// The value as written after "=": a text, a dword or hex bytes wrapped like the registry editor.
std::string FormatData(const RegValue& value, size_t column) {
    if (value.type == platform::value_type::string && !value.data.empty() && value.data.back() == 0) {
        std::string_view body(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1);
        if (body.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos) return EscapeQuoted(body);
    }
    if (value.type == platform::value_type::dword && value.data.size() == 4) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", *value.AsDword());
        return digits;
    }
    std::string out;
    if (value.type == platform::value_type::binary) {
        out = "hex:";
    } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
        out = prefix;
    }
    column += out.size();
    for (size_t i = 0; i < value.data.size(); ++i) {
        const bool last = i + 1 == value.data.size();
        // A byte must fit with its comma and the "\" that may follow; a long name can push even
        // the first byte onto the next line.
        if (column + (last ? 2 : 4) > kLineLength && column > kIndent.size()) {
            out += "\\\r\n";
            out += kIndent;
            column = kIndent.size();
        }
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", value.data[i]);
        out += byte;
        column += 2;
        if (!last) {
            out += ',';
            ++column;
        }
    }
    return out;
}

std::string KeyLine(RootKey root, const std::string& path) {
    return std::string("[") + platform::RootKeyName(root) + (path.empty() ? "" : "\\" + path) + "]";
}

std::string NameText(const std::string& name) { return name.empty() ? "@" : EscapeQuoted(name); }

// The subkey as the file names it: its components joined by single backslashes.
std::string KeyPath(std::string_view subkey) {
    std::string path;
    for (std::string_view component : SubkeyComponents(subkey)) {
        if (!path.empty()) path += '\\';
        path += component;
    }
    return path;
}

}  // namespace

platform::Result<RegistryTree> ParseRegistryFile(std::string_view text, std::string_view file_name) {
    std::string decoded;
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE) {
        if (!DecodeUtf16(text, decoded))
            return Fail(Status::invalid_argument, std::string(file_name) + ": holds characters outside the 8-bit code page");
        text = decoded;
    } else if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    return Parser(text, file_name).Run();
}

std::string FormatRegistryFile(const RegistryTree& tree) {
    std::string out = std::string(kHeader) + "\r\n";
    tree.ForEachKey([&](RootKey root, const std::string& path, const RegistryKey& key) {
        // A root is written only when it holds values itself; its subkeys name it anyway.
        if (path.empty() && key.values.empty()) return;
        out += "\r\n" + KeyLine(root, path) + "\r\n";
        for (const auto& [upper, named] : key.values) {
            std::string start = NameText(named.first) + "=";
            out += start + FormatData(named.second, start.size()) + "\r\n";
        }
    });
    return out;
}

std::string FormatKeyRecord(RootKey root, std::string_view subkey) { return "\r\n" + KeyLine(root, KeyPath(subkey)) + "\r\n"; }

std::string FormatValueRecord(RootKey root, std::string_view subkey, std::string_view name, const RegValue* value) {
    const std::string start = NameText(std::string(name)) + "=";
    return FormatKeyRecord(root, subkey) + start + (value ? FormatData(*value, start.size()) : std::string("-")) + "\r\n";
}

std::string FormatKeyDeletionRecord(RootKey root, std::string_view subkey) {
    std::string line = KeyLine(root, KeyPath(subkey));
    return "\r\n" + line.insert(1, "-") + "\r\n";
}

platform::Result<std::map<std::string, std::string>> RegistryFileLines(std::string_view text, std::string_view file_name) {
    auto tree = ParseRegistryFile(text, file_name);
    if (!tree) return tree.error();
    std::map<std::string, std::string> lines;
    tree->ForEachKey([&](RootKey root, const std::string& path, const RegistryKey& key) {
        const std::string key_line = KeyLine(root, path);
        if (!path.empty()) lines[key_line] = "";  // the roots are always there
        for (const auto& [upper, named] : key.values) lines[key_line + " " + NameText(named.first)] = FormatData(named.second, 0);
    });
    return lines;
}

}  // namespace rvx::sandbox
