// Reading and extending PendingFileRenameOperations.
#include "platform/sandbox/pending_renames.h"

namespace rvx::sandbox {

namespace {

constexpr std::string_view kObjectPrefix = "\\??\\";

// The value's strings. The list's own terminating empty string is dropped; it is told from the
// empty target of a deletion by position: it is the one left over after the pairs.
std::vector<std::string> Strings(const std::vector<uint8_t>& value) {
    std::vector<std::string> strings;
    std::string current;
    bool open = false;
    for (uint8_t byte : value) {
        if (byte == 0) {
            strings.push_back(std::move(current));
            current.clear();
            open = false;
        } else {
            current += static_cast<char>(byte);
            open = true;
        }
    }
    if (open) strings.push_back(std::move(current));
    if (strings.size() % 2 == 1 && strings.back().empty()) strings.pop_back();
    return strings;
}

std::string_view WithoutPrefix(std::string_view path) {
    if (path.starts_with(kObjectPrefix)) path.remove_prefix(kObjectPrefix.size());
    return path;
}

}  // namespace

std::vector<uint8_t> AppendPendingRename(const std::vector<uint8_t>& value, std::string_view from, std::string_view to) {
    std::vector<std::string> strings = Strings(value);
    // A string without a partner would pair with the new source; it cannot be carried out anyway.
    if (strings.size() % 2 == 1) strings.pop_back();
    strings.push_back(std::string(kObjectPrefix) + std::string(from));
    strings.push_back(to.empty() ? std::string() : "!" + std::string(kObjectPrefix) + std::string(to));
    std::vector<uint8_t> out;
    for (const auto& text : strings) {
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
    out.push_back(0);
    return out;
}

std::vector<PendingRename> ParsePendingRenames(const std::vector<uint8_t>& value) {
    const std::vector<std::string> strings = Strings(value);
    std::vector<PendingRename> renames;
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        PendingRename rename;
        rename.from = std::string(WithoutPrefix(strings[i]));
        std::string_view target = strings[i + 1];
        if (target.starts_with('!')) {
            rename.replace_existing = true;
            target.remove_prefix(1);
        }
        rename.to = std::string(WithoutPrefix(target));
        renames.push_back(std::move(rename));
    }
    return renames;
}

}  // namespace rvx::sandbox
