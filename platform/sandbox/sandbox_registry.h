// The simulated machine's registry: the tree in memory, kept in registry.reg. Each change is
// appended to the file as the lines that make it again when the file is read ("[key]" with the
// value, "name"=-, "[-key]"), in one write, so that a program killed at any point leaves every
// change it made in a whole, readable file. The file is written whole again (compacted) when the
// appended lines outgrow what it held before and when the registry is closed; a whole write
// goes to a new file renamed over the old one, so the file is never left half-written. With
// deferred saving, changes reach the file only on Flush.
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
    // Compacts a file that holds appended changes and that nobody else wrote since (failures
    // leave it whole as it is).
    ~SandboxRegistry() override;

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
    // Writes the file whole now when something changed since the last save or changes were
    // appended to it.
    platform::Outcome Flush();
    // Keys (with everything below them) that this user may not change.
    void SetReadOnlyKeys(std::vector<std::pair<platform::RootKey, std::string>> keys) { read_only_ = std::move(keys); }

    const RegistryTree& tree() const { return tree_; }

private:
    SandboxRegistry(std::string host_path, RegistryTree tree, Saving saving)
        : host_path_(std::move(host_path)), tree_(std::move(tree)), deferred_(saving == Saving::on_flush) {}
    // After a change of the tree: record is the lines that make it again.
    platform::Outcome Changed(const std::string& record);

    std::string host_path_;
    RegistryTree tree_;
    bool deferred_ = false;
    bool dirty_ = false;          // the file lacks changes of the tree
    bool file_whole_ = false;     // the file holds a whole tree that appended changes may follow
    uint64_t whole_bytes_ = 0;    // the size of the file's last whole write (or as loaded)
    uint64_t appended_bytes_ = 0; // appended since
    // The file as this registry last left it: changes are appended, and the file compacted at the
    // end, only while nobody else has written it since (another program's registry on the same
    // machine replaces it whole, as this one does then).
    struct FileMark {
        uint64_t inode = 0, size = 0;
        int64_t seconds = 0, nanoseconds = 0;
        bool operator==(const FileMark&) const = default;
    };
    static FileMark MarkOf(const std::string& host_path);
    FileMark mark_;
    std::vector<std::pair<platform::RootKey, std::string>> read_only_;
};

}  // namespace rvx::sandbox
