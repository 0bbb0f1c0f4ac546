// The wildcard matcher for the uninstaller's leftover-file patterns. The pattern is read once
// into single-character tests and stars, and then matched with one back-track point (the last
// star), which keeps the work proportional to the pattern's length times the text's.
#include "uninstaller/wildcard_match.h"

#include <utility>
#include <vector>

namespace rvx::uninstaller {

namespace {

struct Token {
    enum class Kind { literal, any_one, star, set, nothing };
    Kind kind = Kind::literal;
    unsigned char literal = 0;
    bool negated = false;
    std::vector<std::pair<unsigned char, unsigned char>> ranges;  // inclusive, low first

    bool Matches(unsigned char c) const {
        switch (kind) {
            case Kind::literal: return c == literal;
            case Kind::any_one: return true;
            case Kind::set: {
                bool inside = false;
                for (const auto& [low, high] : ranges)
                    if (c >= low && c <= high) inside = true;
                return inside != negated;
            }
            case Kind::star:
            case Kind::nothing: return false;
        }
        return false;
    }
};

// Reads the set after a "[" from pos. Returns the token and moves pos past the closing "]"; a
// set that is never closed takes the rest of the pattern and matches nothing.
Token ReadSet(std::string_view pattern, size_t& pos) {
    Token token;
    token.kind = Token::Kind::set;
    if (pos < pattern.size() && (pattern[pos] == '!' || pattern[pos] == '^')) {
        token.negated = true;
        ++pos;
    }
    // One member character, "\" taking the next one literally; false at the end of the pattern.
    auto read_member = [&](unsigned char& member) {
        if (pos < pattern.size() && pattern[pos] == '\\') ++pos;
        if (pos >= pattern.size()) return false;
        member = static_cast<unsigned char>(pattern[pos++]);
        return true;
    };
    for (;;) {
        if (pos >= pattern.size()) {
            token.kind = Token::Kind::nothing;
            return token;
        }
        if (pattern[pos] == ']') {
            ++pos;
            break;
        }
        unsigned char low = 0;
        if (!read_member(low)) {
            token.kind = Token::Kind::nothing;
            return token;
        }
        unsigned char high = low;
        // "-" makes a range only between two members; first or last in the set it is itself.
        if (pos + 1 < pattern.size() && pattern[pos] == '-' && pattern[pos + 1] != ']') {
            ++pos;
            if (!read_member(high)) {
                token.kind = Token::Kind::nothing;
                return token;
            }
            if (high < low) std::swap(low, high);
        }
        token.ranges.emplace_back(low, high);
    }
    if (token.ranges.empty()) token.kind = Token::Kind::nothing;
    return token;
}

std::vector<Token> ReadPattern(std::string_view pattern) {
    std::vector<Token> tokens;
    size_t pos = 0;
    while (pos < pattern.size()) {
        const char c = pattern[pos++];
        Token token;
        if (c == '*') {
            if (!tokens.empty() && tokens.back().kind == Token::Kind::star) continue;  // "**" is "*"
            token.kind = Token::Kind::star;
        } else if (c == '?') {
            token.kind = Token::Kind::any_one;
        } else if (c == '[') {
            token = ReadSet(pattern, pos);
        } else {
            token.literal = static_cast<unsigned char>(c);
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

}  // namespace

bool MatchWildcard(std::string_view pattern, std::string_view text) {
    const std::vector<Token> tokens = ReadPattern(pattern);
    for (const Token& token : tokens)
        if (token.kind == Token::Kind::nothing) return false;  // that token can take no character
    constexpr size_t kNoStar = static_cast<size_t>(-1);
    size_t p = 0;
    size_t t = 0;
    size_t star = kNoStar;  // the token after the last star seen
    size_t star_text = 0;   // where the text stood when that star was last tried
    while (t < text.size()) {
        if (p < tokens.size() && tokens[p].kind == Token::Kind::star) {
            star = ++p;
            star_text = t;
        } else if (p < tokens.size() && tokens[p].Matches(static_cast<unsigned char>(text[t]))) {
            ++p;
            ++t;
        } else if (star != kNoStar) {
            // Every token but a star takes exactly one character, so letting the last star take
            // one more is the only retry needed; earlier stars could not do better.
            p = star;
            t = ++star_text;
        } else {
            return false;
        }
    }
    while (p < tokens.size() && tokens[p].kind == Token::Kind::star) ++p;
    return p == tokens.size();
}

}  // namespace rvx::uninstaller
