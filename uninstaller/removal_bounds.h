// The bounds of every deletion the uninstaller makes, whatever its log says. A damaged or
// hostile log must not reach outside the installation: not the registry's roots, short keys,
// the system's own keys or the maker's key itself; not relative paths or paths climbing out
// with "..", files outside the product's folders, or the system's own and the shell's special
// folders. Every refusal is kept with the record it refused.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace rvx::uninstaller {

// Why a deletion was refused.
enum class Refusal {
    none,
    unbalanced_quotes,   // a registry line cut off inside its quotes
    registry_root,       // the key names no key below its root
    short_key,           // fewer than two components below the root
    system_key,          // a key of the system's own
    maker_key,           // the maker's key itself, which every product shares
    not_a_full_path,     // relative, without a drive, or a network path
    climbing_path,       // "..", or a component of dots alone
    protected_folder,    // the system's own or one of the shell's special folders
    outside_product,     // not within a folder the log names for the product
};

const char* RefusalName(Refusal refusal);

// A key a registry record may delete: Refusal::none when it may go.
Refusal CheckKeyDeletion(platform::RootKey root, std::string_view key);
// A registry line whose double quotes do not pair up is damaged.
bool HasBalancedQuotes(std::string_view line);

// The path as the system would take it: drive letter in upper case, "/" as "\", repeated "\"
// and "." components dropped, trailing dots and blanks of each name removed, no final "\".
// Nothing (with the reason) for a path that is not a full local path or climbs with "..".
struct CanonicalPath {
    std::optional<std::string> path;
    Refusal refusal = Refusal::none;
};
CanonicalPath MakeCanonical(std::string_view path);

// True when path is folder or lies below it (both canonical; letter case ignored).
bool IsWithin(std::string_view path, std::string_view folder);

// The folders no walk may enter and no removal may take, and the folders of the product, in
// which alone its files may be deleted.
class RemovalBounds {
public:
    // Protected: each folder given and every folder above it (drive roots included).
    void Protect(std::string_view folder);
    // The product's folders: the F and Z folders of the log that are not protected themselves.
    void AddProductFolder(std::string_view folder);

    bool IsProtected(std::string_view canonical_folder) const;
    // A folder the replay may walk or clean up.
    Refusal CheckFolder(std::string_view folder, std::string* canonical = nullptr) const;
    // A file (or a name pattern's folder) a D record may delete: within a product folder; a
    // shortcut may also lie in one of the shell's folders (menus, desktops, documents).
    Refusal CheckFile(std::string_view path, std::string* canonical = nullptr) const;
    void AddShortcutFolder(std::string_view folder);

private:
    std::vector<std::string> protected_;         // canonical, in upper case
    std::vector<std::string> product_folders_;   // canonical
    std::vector<std::string> shortcut_folders_;  // canonical
};

}  // namespace rvx::uninstaller
