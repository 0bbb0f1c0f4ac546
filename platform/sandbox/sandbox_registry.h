// The simulated machine's registry: the tree in memory, saved to registry.reg after every change
// (or on Flush when saving is deferred). A save writes a new file and renames it over the old
// one, so the file is never left half-written.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "platform/sandbox/registry_tree.h"

namespace rvx::sandbox {

class SandboxRegistry : public platform::Registry {
public:
    // When changes reach the file: at once, or only on Flush (for bulk changes).
    enum class Saving { after_each_change, on_flush };

    // Reads an existing registry file; a missing file is not_found (the caller decides whether
    // that means an empty registry), a malformed one invalid_argument naming the file and line.
    static platform::Result<std::unique_ptr<SandboxRegistry>> Load(const std::string& host_path,
                                                                   Saving saving = Saving::after_each_change);
    // An empty registry that will be saved at host_path (on the first change or Flush).
    static platform::Result<std::unique_ptr<SandboxRegistry>> CreateEmpty(const std::string& host_path,
                                                                          Saving saving = Saving::after_each_change);

    platform::Result<platform::RegValue> ReadValue(platform::RootKey root, std::string_view subkey, std::string_view name) override;
    platform::Outcome WriteValue(platform::RootKey root, std::string_view subkey, std::string_view name,
                                 const platform::RegValue& value) override;
    platform::Outcome DeleteValue(platform::RootKey root, std::string_view subkey, std::string_view name) override;
    platform::Outcome CreateKey(platform::RootKey root, std::string_view subkey) override;
    bool KeyExists(platform::RootKey root, std::string_view subkey) override;
    platform::Outcome CheckWritable(platform::RootKey root, std::string_view subkey) override;
    platform::Outcome DeleteKey(platform::RootKey root, std::string_view subkey) override;
    platform::Result<std::vector<std::string>> SubkeyNames(platform::RootKey root, std::string_view subkey) override;
    platform::Result<std::vector<std::string>> ValueNames(platform::RootKey root, std::string_view subkey) override;

    // With deferred saving, changes reach the file only on Flush.
    void SetDeferredSaving(bool deferred) { deferred_ = deferred; }
    // Writes the file now when something changed since the last save.
    platform::Outcome Flush();
    // Keys (with everything below them) that this user may not change.
    void SetReadOnlyKeys(std::vector<std::pair<platform::RootKey, std::string>> keys) { read_only_ = std::move(keys); }

    const RegistryTree& tree() const { return tree_; }

private:
    SandboxRegistry(std::string host_path, RegistryTree tree, Saving saving)
        : host_path_(std::move(host_path)), tree_(std::move(tree)), deferred_(saving == Saving::on_flush) {}
    platform::Outcome Changed();

    std::string host_path_;
    RegistryTree tree_;
    bool deferred_ = false;
    bool dirty_ = false;
    std::vector<std::pair<platform::RootKey, std::string>> read_only_;
};

}  // namespace rvx::sandbox
