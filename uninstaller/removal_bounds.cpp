// The bounds of the uninstaller's deletions.
#include "uninstaller/removal_bounds.h"

#include <algorithm>
#include <cctype>

#include "common/text/text.h"

namespace rvx::uninstaller {

namespace {

std::vector<std::string> KeyComponents(std::string_view key) {
    std::vector<std::string> components;
    size_t start = 0;
    while (start <= key.size()) {
        size_t end = key.find('\\', start);
        if (end == std::string_view::npos) end = key.size();
        const std::string_view name = text::TrimBlanks(key.substr(start, end - start));
        if (!name.empty()) components.emplace_back(name);
        start = end + 1;
    }
    return components;
}

// Keys of the system below HKEY_LOCAL_MACHINE or a user's root, each with every key on the way
// to it: none of them belongs to one product.
constexpr const char* kSystemKeys[] = {
    "SOFTWARE\\MICROSOFT",
    "SOFTWARE\\MICROSOFT\\WINDOWS",
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION",
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL",
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS",
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\FONTS",
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN",
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER",
    "SOFTWARE\\MICROSOFT\\WINDOWS NT",
    "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION",
    "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\FONTS",
    "SOFTWARE\\CLASSES",
    "SOFTWARE\\POLICIES",
};
constexpr const char* kMakerKey = "SOFTWARE\\NORVANE";

std::string Upper(std::string_view text) { return text::ToUpper(text); }

// Every folder above a canonical path, and the path itself.
std::vector<std::string> WithParents(const std::string& path) {
    std::vector<std::string> folders{path};
    for (size_t cut = path.rfind('\\'); cut != std::string::npos && cut >= 2; cut = path.rfind('\\', cut - 1)) {
        folders.push_back(cut == 2 ? path.substr(0, 3) : path.substr(0, cut));
        if (cut == 2) break;
    }
    return folders;
}

}  // namespace

const char* RefusalName(Refusal refusal) {
    switch (refusal) {
    case Refusal::none: return "allowed";
    case Refusal::unbalanced_quotes: return "its quotes do not pair up";
    case Refusal::registry_root: return "it names a whole root";
    case Refusal::short_key: return "its key is too short";
    case Refusal::system_key: return "its key is the system's";
    case Refusal::maker_key: return "its key is the maker's own";
    case Refusal::not_a_full_path: return "its path is not a full local path";
    case Refusal::climbing_path: return "its path climbs out with \"..\"";
    case Refusal::protected_folder: return "it is a folder of the system or the shell";
    case Refusal::outside_product: return "it lies outside the product's folders";
    }
    return "refused";
}

bool HasBalancedQuotes(std::string_view line) { return std::count(line.begin(), line.end(), '"') % 2 == 0; }

Refusal CheckKeyDeletion(platform::RootKey root, std::string_view key) {
    std::vector<std::string> components = KeyComponents(key);
    // Below HKEY_USERS the first name is the user's; the rest is that user's own root.
    if (root == platform::RootKey::users && !components.empty()) components.erase(components.begin());
    if (components.empty()) return Refusal::registry_root;
    std::string joined;
    for (const auto& component : components) joined += (joined.empty() ? "" : "\\") + Upper(component);
    // SYSTEM holds the machine's configuration, its services and drivers: no product owns a part.
    if (root == platform::RootKey::local_machine && components.front().size() == 6 && Upper(components.front()) == "SYSTEM")
        return Refusal::system_key;
    if (components.size() < 2) return Refusal::short_key;
    if (joined == kMakerKey) return Refusal::maker_key;
    for (const char* system_key : kSystemKeys)
        if (joined == system_key) return Refusal::system_key;
    // The roots of file types and classes: shared by every program that opens such files.
    if (components.size() == 3 && Upper(components[0]) == "SOFTWARE" && Upper(components[1]) == "CLASSES")
        return Refusal::system_key;
    return Refusal::none;
}

CanonicalPath MakeCanonical(std::string_view path) {
    const std::string_view trimmed = text::TrimBlanks(path);
    const bool has_drive = trimmed.size() >= 3 && std::isalpha(static_cast<unsigned char>(trimmed[0])) && trimmed[1] == ':' &&
                           (trimmed[2] == '\\' || trimmed[2] == '/');
    if (!has_drive) return {std::nullopt, Refusal::not_a_full_path};
    std::string canonical = std::string(1, text::ToUpper(trimmed[0])) + ":";
    std::string_view rest = trimmed.substr(3);
    while (!rest.empty()) {
        const size_t end = rest.find_first_of("\\/");
        std::string name(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        // The system drops trailing dots and blanks of a name ("x. " is "x"), so a name of dots
        // alone is "." or climbs like "..": only a lone "." is passed over.
        std::string stripped = name;
        while (!stripped.empty() && (stripped.back() == '.' || stripped.back() == ' ')) stripped.pop_back();
        if (stripped.empty()) {
            if (name.empty() || text::TrimBlanks(name) == "." || text::TrimBlanks(name).empty()) continue;
            return {std::nullopt, Refusal::climbing_path};
        }
        name = stripped;
        canonical += "\\" + name;
    }
    if (canonical.size() == 2) canonical += "\\";
    return {canonical, Refusal::none};
}

bool IsWithin(std::string_view path, std::string_view folder) {
    const std::string upper_path = Upper(path);
    std::string upper_folder = Upper(folder);
    if (upper_path == upper_folder) return true;
    if (upper_folder.empty() || upper_folder.back() != '\\') upper_folder += '\\';
    return upper_path.size() > upper_folder.size() && upper_path.compare(0, upper_folder.size(), upper_folder) == 0;
}

void RemovalBounds::Protect(std::string_view folder) {
    const CanonicalPath canonical = MakeCanonical(folder);
    if (!canonical.path) return;
    for (const auto& each : WithParents(*canonical.path)) protected_.push_back(Upper(each));
}

void RemovalBounds::AddProductFolder(std::string_view folder) {
    const CanonicalPath canonical = MakeCanonical(folder);
    if (canonical.path && !IsProtected(*canonical.path)) product_folders_.push_back(*canonical.path);
}

void RemovalBounds::AddShortcutFolder(std::string_view folder) {
    const CanonicalPath canonical = MakeCanonical(folder);
    if (canonical.path) shortcut_folders_.push_back(*canonical.path);
}

bool RemovalBounds::IsProtected(std::string_view canonical_folder) const {
    const std::string upper = Upper(canonical_folder);
    return upper.size() <= 3 || std::find(protected_.begin(), protected_.end(), upper) != protected_.end();
}

Refusal RemovalBounds::CheckFolder(std::string_view folder, std::string* canonical) const {
    const CanonicalPath made = MakeCanonical(folder);
    if (!made.path) return made.refusal;
    if (IsProtected(*made.path)) return Refusal::protected_folder;
    if (canonical) *canonical = *made.path;
    return Refusal::none;
}

Refusal RemovalBounds::CheckFile(std::string_view path, std::string* canonical) const {
    const CanonicalPath made = MakeCanonical(path);
    if (!made.path) return made.refusal;
    if (canonical) *canonical = *made.path;
    for (const auto& folder : product_folders_)
        if (IsWithin(*made.path, folder) && !text::EqualsIgnoreCase(*made.path, folder)) return Refusal::none;
    const bool shortcut = made.path->size() > 4 && text::EqualsIgnoreCase(std::string_view(*made.path).substr(made.path->size() - 4), ".lnk");
    if (shortcut)
        for (const auto& folder : shortcut_folders_)
            if (IsWithin(*made.path, folder)) return Refusal::none;
    return Refusal::outside_product;
}

}  // namespace rvx::uninstaller
