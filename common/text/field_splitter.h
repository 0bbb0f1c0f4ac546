// The installer's field splitter: splits command-line tokens, answer-file lines and most
// comma-separated script lines into trimmed fields, keeping quoted runs whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rvx::text {

// Splits text at any character of delimiters. A double quote makes the scan skip to the next
// double quote and a single quote to the next single quote, so delimiters inside quotes do not
// split. Each field is trimmed of blanks and tabs; a field that held a double-quoted run loses
// all its double quotes (otherwise, after a single-quoted run, all its single quotes). Two
// delimiters in a row give an empty field; a delimiter at the very end gives no further field;
// an empty text gives no field.
std::vector<std::string> SplitFields(std::string_view text, std::string_view delimiters);

}  // namespace rvx::text
