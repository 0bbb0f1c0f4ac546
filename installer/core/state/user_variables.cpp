// The user variables and their index by name.
#include "installer/core/state/user_variables.h"

#include <algorithm>

#include "common/text/text.h"

namespace rvx::installer {

namespace {

// True when "%name%" occurs in text.
bool Occurs(std::string_view name, std::string_view text) {
    for (size_t at = text.find(name, 1); at != std::string_view::npos; at = text.find(name, at + 1)) {
        const size_t after = at + name.size();
        if (text[at - 1] == '%' && after < text.size() && text[after] == '%') return true;
    }
    return false;
}

}  // namespace

std::optional<UserVariables::Definition> UserVariables::Parse(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.find('=', equals + 1) != std::string_view::npos) return std::nullopt;
    const std::string_view name = text::TrimBlanks(line.substr(0, equals));
    const std::string_view value = text::TrimBlanks(line.substr(equals + 1));
    // A "=" at the very end gives no second field.
    if (value.empty() && equals + 1 == line.size()) return std::nullopt;
    return Definition{name, value};
}

void UserVariables::push_back(std::string line) {
    lines_.push_back(std::move(line));
    Index(lines_.size() - 1);
}

void UserVariables::clear() {
    lines_.clear();
    by_name_.clear();
    names_with_percent_.clear();
}

UserVariables& UserVariables::Assign(Lines lines) {
    clear();
    lines_ = std::move(lines);
    for (size_t at = 0; at < lines_.size(); ++at) Index(at);
    return *this;
}

void UserVariables::Index(size_t at) {
    const auto definition = Parse(lines_[at]);
    if (!definition) return;
    if (definition->name.find('%') != std::string_view::npos) {
        names_with_percent_.push_back(at);
        return;
    }
    auto found = by_name_.find(definition->name);
    if (found == by_name_.end()) found = by_name_.emplace(std::string(definition->name), std::vector<size_t>()).first;
    found->second.push_back(at);
}

std::optional<size_t> UserVariables::FirstNamedIn(std::string_view text, size_t from) const {
    std::optional<size_t> first;
    const auto consider = [&](const std::vector<size_t>& lines) {
        const auto line = std::lower_bound(lines.begin(), lines.end(), from);
        if (line != lines.end() && (!first || *line < *first)) first = *line;
    };
    // A name without "%" occurs only between two neighbouring percent signs.
    for (size_t open = text.find('%'); open != std::string_view::npos;) {
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        if (auto found = by_name_.find(text.substr(open + 1, close - open - 1)); found != by_name_.end()) consider(found->second);
        open = close;
    }
    for (const size_t at : names_with_percent_) {
        if (at < from) continue;
        if (first && at >= *first) break;
        if (Occurs(Parse(lines_[at])->name, text)) return at;
    }
    return first;
}

}  // namespace rvx::installer
