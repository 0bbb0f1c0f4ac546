// The user variables of the install script: the NAME=VALUE lines of [STRINGS] (or [STRINGSNET])
// followed by the lines [READREGISTRY] adds, in their order, with an index by name, so that an
// expansion looks up the few variables its text names instead of walking every line.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rvx::installer {

class UserVariables {
public:
    using Lines = std::vector<std::string>;

    UserVariables() = default;
    UserVariables(std::initializer_list<std::string> lines) { Assign(Lines(lines)); }
    UserVariables& operator=(std::initializer_list<std::string> lines) { return Assign(Lines(lines)); }
    UserVariables& operator=(Lines lines) { return Assign(std::move(lines)); }

    void push_back(std::string line);
    void emplace_back(std::string_view line) { push_back(std::string(line)); }
    void clear();

    // The lines as the script gave them, malformed ones included.
    const Lines& lines() const { return lines_; }
    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    Lines::const_iterator begin() const { return lines_.begin(); }
    Lines::const_iterator end() const { return lines_.end(); }
    const std::string& operator[](size_t index) const { return lines_[index]; }

    // What a line defines: the name (without percent signs) and the value as written, both
    // trimmed of blanks and tabs. A line defines nothing unless it holds exactly one "=" with a
    // field after it, so a value can never hold "=", quoted or not.
    struct Definition {
        std::string_view name;
        std::string_view value;
    };
    static std::optional<Definition> Parse(std::string_view line);

    // The first line at index from or later that defines a variable whose "%NAME%" occurs in
    // text; nothing when there is none.
    std::optional<size_t> FirstNamedIn(std::string_view text, size_t from) const;

private:
    UserVariables& Assign(Lines lines);
    void Index(size_t at);

    Lines lines_;
    // The lines defining each name, in list order. A name is found in a text between two
    // neighbouring percent signs; names that hold "%" themselves are kept apart and searched.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
    };
    std::unordered_map<std::string, std::vector<size_t>, NameHash, std::equal_to<>> by_name_;
    std::vector<size_t> names_with_percent_;
};

}  // namespace rvx::installer
