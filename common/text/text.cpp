// Small text operations on the system's 8-bit texts.
#include "common/text/text.h"

#include <cstdio>

namespace rvx::text {

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToUpper(c);
    return out;
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToLower(c);
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    // Most names compared are spelled alike.
    if (a == b) return true;
    for (size_t i = 0; i < a.size(); ++i)
        if (ToUpper(a[i]) != ToUpper(b[i])) return false;
    return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

size_t FindIgnoreCase(std::string_view text, std::string_view needle) {
    if (needle.size() > text.size()) return std::string_view::npos;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i)
        if (EqualsIgnoreCase(text.substr(i, needle.size()), needle)) return i;
    return std::string_view::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::string InsertArguments(std::string_view pattern, const std::vector<std::string>& arguments) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            size_t index = static_cast<size_t>(pattern[i + 1] - '1');
            if (index < arguments.size()) out += arguments[index];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string FormatMessage(std::string_view pattern, std::initializer_list<FormatArg> arguments) {
    std::string out;
    auto next = arguments.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        char conversion = pattern[i + 1];
        if (conversion == '%') {
            out += '%';
            ++i;
        } else if ((conversion == 's' || conversion == 'd') && next != arguments.end()) {
            if (next->is_number)
                out += std::to_string(next->number);
            else
                out.append(next->text);
            ++next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

long long ParseDecimalPrefix(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (1LL << 40)) break;  // far beyond any count the script holds; stops overflow
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

uint32_t ParseHexPrefix(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    auto digit = [&](size_t at) -> int {
        if (at >= text.size()) return -1;
        const char c = text[at];
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    // The prefix counts only when a digit follows it: "0x" alone reads as the 0 before the x.
    if (digit(i) == 0 && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && digit(i + 2) >= 0) i += 2;
    uint64_t value = 0;
    bool too_large = false;
    for (int d; (d = digit(i)) >= 0; ++i) {
        if (too_large) continue;
        value = value * 16 + static_cast<uint64_t>(d);
        too_large = value > 0xFFFFFFFFull;
    }
    if (too_large) return 0xFFFFFFFFu;
    const uint32_t result = static_cast<uint32_t>(value);
    return negative ? 0u - result : result;
}

void AppendEscaped(std::string& out, std::string_view text) {
    size_t plain_from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool plain = c >= 0x20 && c != 0x7f && c != '\\' && c != '"';
        if (plain) continue;
        // The run of characters that stand for themselves, in one piece.
        out.append(text, plain_from, i - plain_from);
        plain_from = i + 1;
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
            out += buffer;
        }
        }
    }
    out.append(text, plain_from);
}

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) return false;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 2 >= text.size()) return false;
            int high = HexDigit(text[i + 1]);
            int low = HexDigit(text[i + 2]);
            if (high < 0 || low < 0) return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

}  // namespace rvx::text
