// Reading lines of the simulated machine's journal back: the kind and the key=value fields, with
// the quoted values' escapes undone. Used to replay what the screen showed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/result.h"

namespace rvx::sandbox {

struct JournalLine {
    std::string kind;
    // In line order; a word without "=" (such as the "->" of a page line) has an empty value.
    std::vector<std::pair<std::string, std::string>> fields;

    // The first field of that key; nothing when there is none.
    std::optional<std::string> Value(std::string_view key) const;
    // Every value of that key, in line order.
    std::vector<std::string> Values(std::string_view key) const;
};

// A line that is not a kind followed by fields (an unclosed quote, a malformed escape, a field
// glued to a quoted value) is an error saying where.
platform::Result<JournalLine> ParseJournalLine(std::string_view line);

}  // namespace rvx::sandbox
