// Small text operations on the system's 8-bit texts. Case conversion and case-insensitive
// comparison treat only the ASCII letters, as the C runtime does in its default locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rvx::text {

char ToUpper(char c);
char ToLower(char c);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
// Position of needle in text ignoring case, or npos.
size_t FindIgnoreCase(std::string_view text, std::string_view needle);

bool IsBlank(char c);  // blank or tab
std::string_view TrimBlanks(std::string_view text);

// Replaces every occurrence of from by to.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Numbered insertion: "%1" and "%2" ... "%9" replaced by the arguments (missing ones by nothing).
std::string InsertArguments(std::string_view pattern, const std::vector<std::string>& arguments);

// printf-style insertion of texts for "%s" and "%d" placeholders, in order; "%%" gives "%".
// Only the two conversions the messages use are supported, so no argument can be misread.
struct FormatArg {
    FormatArg(std::string_view value) : is_number(false), text(value) {}    // NOLINT
    FormatArg(const char* value) : is_number(false), text(value) {}         // NOLINT
    FormatArg(const std::string& value) : is_number(false), text(value) {}  // NOLINT
    FormatArg(long long value) : is_number(true), number(value) {}          // NOLINT
    FormatArg(int value) : is_number(true), number(value) {}                // NOLINT
    bool is_number;
    std::string_view text;
    long long number = 0;
};
std::string FormatMessage(std::string_view pattern, std::initializer_list<FormatArg> arguments);

// Reads a decimal integer as atoi does: optional blanks and sign, digits, stops at the first other character.
long long ParseDecimalPrefix(std::string_view text);
// Reads a hexadecimal number as the C runtime's strtoul with base 16 does where a long has 32 bits:
// optional blanks and sign, an optional "0x" or "0X", digits up to the first other character;
// a value too large for 32 bits gives 0xFFFFFFFF, and a minus sign negates modulo 2^32.
uint32_t ParseHexPrefix(std::string_view text);

// Escapes a text for one line of the journal or transcript: C escapes for \, ", control characters.
std::string Escape(std::string_view text);
// The same, added to out.
void AppendEscaped(std::string& out, std::string_view text);
// The reverse of Escape; false when the text holds a malformed escape.
bool Unescape(std::string_view text, std::string& out);

}  // namespace rvx::text
