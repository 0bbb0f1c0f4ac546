// A table of built-in texts by string id, as generated from a program's .def file.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace rvx::text {

struct StringEntry {
    int id;
    const char* text;
};

inline std::optional<std::string_view> FindString(std::span<const StringEntry> table, int id) {
    for (const auto& entry : table)
        if (entry.id == id) return std::string_view(entry.text);
    return std::nullopt;
}

}  // namespace rvx::text
