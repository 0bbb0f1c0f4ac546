// The simulated machine's registry in memory: a tree of keys under each root, with names that
// compare ignoring case and keep the case they were first written with.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace rvx::sandbox {

struct RegistryKey {
    std::string name;  // as first written
    // Both maps are keyed by the upper-cased name, which gives the order the registry editor shows.
    std::map<std::string, std::unique_ptr<RegistryKey>> subkeys;
    std::map<std::string, std::pair<std::string, platform::RegValue>> values;  // name as written, value

    bool operator==(const RegistryKey& other) const;
};

class RegistryTree {
public:
    RegistryTree();
    RegistryTree(RegistryTree&&) = default;
    RegistryTree& operator=(RegistryTree&&) = default;

    platform::Result<platform::RegValue> ReadValue(platform::RootKey root, std::string_view subkey, std::string_view name) const;
    void WriteValue(platform::RootKey root, std::string_view subkey, std::string_view name, platform::RegValue value);
    platform::Outcome DeleteValue(platform::RootKey root, std::string_view subkey, std::string_view name);
    void CreateKey(platform::RootKey root, std::string_view subkey);
    bool KeyExists(platform::RootKey root, std::string_view subkey) const;
    // Refuses a key with subkeys (not_empty) and a root (access_denied).
    platform::Outcome DeleteKey(platform::RootKey root, std::string_view subkey);
    // Deletes a key with everything below it; nothing when it does not exist.
    void DeleteTree(platform::RootKey root, std::string_view subkey);
    platform::Result<std::vector<std::string>> SubkeyNames(platform::RootKey root, std::string_view subkey) const;
    platform::Result<std::vector<std::string>> ValueNames(platform::RootKey root, std::string_view subkey) const;

    // Visits every key, parents before children and in name order; path is the subkey below the root.
    void ForEachKey(const std::function<void(platform::RootKey, const std::string& path, const RegistryKey&)>& visit) const;

    bool operator==(const RegistryTree& other) const;

    static constexpr std::array<platform::RootKey, 5> kRoots{
        platform::RootKey::classes_root, platform::RootKey::current_user, platform::RootKey::local_machine,
        platform::RootKey::users, platform::RootKey::current_config};

private:
    const RegistryKey* Find(platform::RootKey root, std::string_view subkey) const;
    RegistryKey* Find(platform::RootKey root, std::string_view subkey);
    RegistryKey& FindOrCreate(platform::RootKey root, std::string_view subkey);

    std::array<RegistryKey, 5> roots_;
};

// The components of a subkey path; empty components (doubled, leading or trailing "\") are ignored.
std::vector<std::string_view> SubkeyComponents(std::string_view subkey);

// Windows' own limits. Keeping to them also bounds the recursion over the tree, which the file
// reader and SandboxRegistry rely on: the tree itself does not check.
inline constexpr size_t kMaxKeyDepth = 512;
inline constexpr size_t kMaxKeyNameLength = 255;  // one component
inline constexpr size_t kMaxValueNameLength = 16383;

// Why a key or value name cannot be stored (beyond the limits, or holding a line break, which the
// registry file cannot hold), or nothing when it can.
std::optional<std::string> KeyPathProblem(std::string_view subkey);
std::optional<std::string> ValueNameProblem(std::string_view name);

}  // namespace rvx::sandbox
