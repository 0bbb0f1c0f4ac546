// The simulated machine's registry in memory.
#include "platform/sandbox/registry_tree.h"

#include "common/text/text.h"

namespace rvx::sandbox {

using platform::Fail;
using platform::RootKey;
using platform::Status;

namespace {

size_t RootIndex(RootKey root) { return static_cast<size_t>(root); }

std::string KeyText(RootKey root, std::string_view subkey) {
    return std::string(platform::RootKeyName(root)) + (subkey.empty() ? "" : "\\") + std::string(subkey);
}

void Visit(RootKey root, const std::string& path, const RegistryKey& key,
           const std::function<void(RootKey, const std::string&, const RegistryKey&)>& visit) {
    visit(root, path, key);
    for (const auto& [upper, child] : key.subkeys) Visit(root, path.empty() ? child->name : path + "\\" + child->name, *child, visit);
}

}  // namespace

std::vector<std::string_view> SubkeyComponents(std::string_view subkey) {
    std::vector<std::string_view> components;
    size_t pos = 0;
    while (pos <= subkey.size()) {
        size_t end = subkey.find('\\', pos);
        if (end == std::string_view::npos) end = subkey.size();
        if (end > pos) components.push_back(subkey.substr(pos, end - pos));
        pos = end + 1;
    }
    return components;
}

std::optional<std::string> KeyPathProblem(std::string_view subkey) {
    const auto components = SubkeyComponents(subkey);
    if (components.size() > kMaxKeyDepth)
        return "the key is " + std::to_string(components.size()) + " levels deep (at most " + std::to_string(kMaxKeyDepth) + ")";
    for (std::string_view component : components) {
        if (component.size() > kMaxKeyNameLength)
            return "a key name has " + std::to_string(component.size()) + " characters (at most " +
                   std::to_string(kMaxKeyNameLength) + ")";
        if (component.find('\n') != std::string_view::npos) return "a key name holds a line break";
    }
    return std::nullopt;
}

std::optional<std::string> ValueNameProblem(std::string_view name) {
    if (name.size() > kMaxValueNameLength)
        return "the value name has " + std::to_string(name.size()) + " characters (at most " +
               std::to_string(kMaxValueNameLength) + ")";
    if (name.find('\n') != std::string_view::npos) return "the value name holds a line break";
    return std::nullopt;
}

bool RegistryKey::operator==(const RegistryKey& other) const {
    if (name != other.name || values != other.values || subkeys.size() != other.subkeys.size()) return false;
    for (auto a = subkeys.begin(), b = other.subkeys.begin(); a != subkeys.end(); ++a, ++b)
        if (a->first != b->first || !(*a->second == *b->second)) return false;
    return true;
}

RegistryTree::RegistryTree() {
    for (RootKey root : kRoots) roots_[RootIndex(root)].name = platform::RootKeyName(root);
}

const RegistryKey* RegistryTree::Find(RootKey root, std::string_view subkey) const {
    const RegistryKey* key = &roots_[RootIndex(root)];
    for (std::string_view component : SubkeyComponents(subkey)) {
        auto found = key->subkeys.find(text::ToUpper(component));
        if (found == key->subkeys.end()) return nullptr;
        key = found->second.get();
    }
    return key;
}

RegistryKey* RegistryTree::Find(RootKey root, std::string_view subkey) {
    return const_cast<RegistryKey*>(static_cast<const RegistryTree*>(this)->Find(root, subkey));
}

RegistryKey& RegistryTree::FindOrCreate(RootKey root, std::string_view subkey) {
    RegistryKey* key = &roots_[RootIndex(root)];
    for (std::string_view component : SubkeyComponents(subkey)) {
        auto& slot = key->subkeys[text::ToUpper(component)];
        if (!slot) {
            slot = std::make_unique<RegistryKey>();
            slot->name = std::string(component);
        }
        key = slot.get();
    }
    return *key;
}

platform::Result<platform::RegValue> RegistryTree::ReadValue(RootKey root, std::string_view subkey, std::string_view name) const {
    const RegistryKey* key = Find(root, subkey);
    if (!key) return Fail(Status::not_found, "key " + KeyText(root, subkey));
    auto found = key->values.find(text::ToUpper(name));
    if (found == key->values.end())
        return Fail(Status::not_found, "value \"" + std::string(name) + "\" of " + KeyText(root, subkey));
    return found->second.second;
}

void RegistryTree::WriteValue(RootKey root, std::string_view subkey, std::string_view name, platform::RegValue value) {
    auto& slot = FindOrCreate(root, subkey).values[text::ToUpper(name)];
    if (slot.first.empty()) slot.first = std::string(name);
    slot.second = std::move(value);
}

platform::Outcome RegistryTree::DeleteValue(RootKey root, std::string_view subkey, std::string_view name) {
    RegistryKey* key = Find(root, subkey);
    if (!key) return Fail(Status::not_found, "key " + KeyText(root, subkey));
    if (key->values.erase(text::ToUpper(name)) == 0)
        return Fail(Status::not_found, "value \"" + std::string(name) + "\" of " + KeyText(root, subkey));
    return {};
}

void RegistryTree::CreateKey(RootKey root, std::string_view subkey) { FindOrCreate(root, subkey); }

bool RegistryTree::KeyExists(RootKey root, std::string_view subkey) const { return Find(root, subkey) != nullptr; }

platform::Outcome RegistryTree::DeleteKey(RootKey root, std::string_view subkey) {
    auto components = SubkeyComponents(subkey);
    if (components.empty()) return Fail(Status::access_denied, "a root key cannot be deleted");
    RegistryKey* key = Find(root, subkey);
    if (!key) return Fail(Status::not_found, "key " + KeyText(root, subkey));
    if (!key->subkeys.empty()) return Fail(Status::not_empty, "key " + KeyText(root, subkey) + " has subkeys");
    DeleteTree(root, subkey);
    return {};
}

void RegistryTree::DeleteTree(RootKey root, std::string_view subkey) {
    auto components = SubkeyComponents(subkey);
    if (components.empty()) return;
    RegistryKey* parent = &roots_[RootIndex(root)];
    for (size_t i = 0; i + 1 < components.size(); ++i) {
        auto found = parent->subkeys.find(text::ToUpper(components[i]));
        if (found == parent->subkeys.end()) return;
        parent = found->second.get();
    }
    parent->subkeys.erase(text::ToUpper(components.back()));
}

platform::Result<std::vector<std::string>> RegistryTree::SubkeyNames(RootKey root, std::string_view subkey) const {
    const RegistryKey* key = Find(root, subkey);
    if (!key) return Fail(Status::not_found, "key " + KeyText(root, subkey));
    std::vector<std::string> names;
    for (const auto& [upper, child] : key->subkeys) names.push_back(child->name);
    return names;
}

platform::Result<std::vector<std::string>> RegistryTree::ValueNames(RootKey root, std::string_view subkey) const {
    const RegistryKey* key = Find(root, subkey);
    if (!key) return Fail(Status::not_found, "key " + KeyText(root, subkey));
    std::vector<std::string> names;
    for (const auto& [upper, value] : key->values) names.push_back(value.first);
    return names;
}

void RegistryTree::ForEachKey(const std::function<void(RootKey, const std::string&, const RegistryKey&)>& visit) const {
    for (RootKey root : kRoots) Visit(root, "", roots_[RootIndex(root)], visit);
}

bool RegistryTree::operator==(const RegistryTree& other) const { return roots_ == other.roots_; }

}  // namespace rvx::sandbox
