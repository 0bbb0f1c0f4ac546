// The simulated machine's registry, kept in registry.reg.
#include "platform/sandbox/sandbox_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/text/text.h"
#include "platform/sandbox/replace_host_file.h"
#include "platform/sandbox/registry_file.h"

namespace rvx::sandbox {

using platform::Fail;
using platform::Status;

namespace {

// Names the file could not hold are refused before anything changes, so nothing is lost on reload.
platform::Outcome CheckNames(platform::RootKey root, std::string_view subkey, const std::string_view* value_name) {
    auto problem = KeyPathProblem(subkey);
    if (!problem && value_name) problem = ValueNameProblem(*value_name);
    if (problem)
        return Fail(Status::invalid_argument,
                    std::string(platform::RootKeyName(root)) + "\\" + std::string(subkey) + ": " + *problem);
    return {};
}

}  // namespace

platform::Result<std::unique_ptr<SandboxRegistry>> SandboxRegistry::Load(const std::string& host_path, Saving saving) {
    std::error_code error;
    const auto kind = std::filesystem::status(host_path, error).type();
    if (kind == std::filesystem::file_type::not_found) return Fail(Status::not_found, host_path + " does not exist");
    if (kind != std::filesystem::file_type::regular) return Fail(Status::io_error, host_path + " is not a readable file");
    std::ifstream in(host_path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) return Fail(Status::io_error, host_path + " cannot be read");
    const std::string content = text.str();
    auto tree = ParseRegistryFile(content, host_path);
    if (!tree) return tree.error();
    std::unique_ptr<SandboxRegistry> registry(new SandboxRegistry(host_path, std::move(tree.value()), saving));
    // Changes may follow the file as it is only when it ends with its last line.
    registry->file_whole_ = !content.empty() && content.back() == '\n';
    registry->whole_bytes_ = content.size();
    registry->mark_ = MarkOf(host_path);
    return registry;
}

SandboxRegistry::~SandboxRegistry() {
    if (!deferred_ && !dirty_ && appended_bytes_ > 0 && MarkOf(host_path_) == mark_) (void)Flush();
}

SandboxRegistry::FileMark SandboxRegistry::MarkOf(const std::string& host_path) {
    struct stat info;
    if (::stat(host_path.c_str(), &info) != 0) return {};
    return {static_cast<uint64_t>(info.st_ino), static_cast<uint64_t>(info.st_size), static_cast<int64_t>(info.st_mtim.tv_sec),
            static_cast<int64_t>(info.st_mtim.tv_nsec)};
}

platform::Result<std::unique_ptr<SandboxRegistry>> SandboxRegistry::CreateEmpty(const std::string& host_path, Saving saving) {
    std::unique_ptr<SandboxRegistry> registry(new SandboxRegistry(host_path, RegistryTree(), saving));
    registry->dirty_ = true;
    return registry;
}

platform::Outcome SandboxRegistry::Flush() {
    if (!dirty_ && appended_bytes_ == 0) return {};
    const std::string whole = FormatRegistryFile(tree_);
    if (auto replaced = ReplaceHostFile(host_path_, whole); !replaced) return replaced;
    dirty_ = false;
    file_whole_ = true;
    whole_bytes_ = whole.size();
    appended_bytes_ = 0;
    mark_ = MarkOf(host_path_);
    return {};
}

namespace {

// Appends text in one write; on any failure the file is cut back to its size before, so that
// it never ends inside a change.
bool AppendInOneWrite(const std::string& host_path, const std::string& text) {
    const int fd = ::open(host_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool done = ::fstat(fd, &info) == 0;
    if (done) {
        ssize_t written;
        do written = ::write(fd, text.data(), text.size());
        while (written < 0 && errno == EINTR);
        done = written == static_cast<ssize_t>(text.size());
        if (!done && written != 0) (void)::ftruncate(fd, info.st_size);
    }
    return ::close(fd) == 0 && done;
}

}  // namespace

platform::Outcome SandboxRegistry::Changed(const std::string& record) {
    // Only a file that holds every earlier change may have this one appended.
    const bool file_current = !dirty_;
    dirty_ = true;
    if (deferred_) return {};
    // Appending stays cheaper than a whole write until the appended lines outgrow the file.
    constexpr uint64_t kLeastCompaction = 64 * 1024;
    if (file_current && file_whole_ && !record.empty() && appended_bytes_ + record.size() <= std::max(whole_bytes_, kLeastCompaction) &&
        MarkOf(host_path_) == mark_ && AppendInOneWrite(host_path_, record)) {
        appended_bytes_ += record.size();
        dirty_ = false;
        mark_ = MarkOf(host_path_);
        return {};
    }
    return Flush();
}

platform::Outcome SandboxRegistry::CheckWritable(platform::RootKey root, std::string_view subkey) {
    const auto components = SubkeyComponents(subkey);
    for (const auto& [locked_root, locked_key] : read_only_) {
        if (locked_root != root) continue;
        const auto locked = SubkeyComponents(locked_key);
        if (locked.size() > components.size()) continue;
        bool within = true;
        for (size_t i = 0; i < locked.size() && within; ++i) within = text::EqualsIgnoreCase(locked[i], components[i]);
        if (within) return Fail(Status::access_denied, std::string(platform::RootKeyName(root)) + "\\" + std::string(subkey));
    }
    return {};
}

platform::Result<platform::RegValue> SandboxRegistry::ReadValue(platform::RootKey root, std::string_view subkey,
                                                                std::string_view name) {
    return tree_.ReadValue(root, subkey, name);
}

platform::Outcome SandboxRegistry::WriteValue(platform::RootKey root, std::string_view subkey, std::string_view name,
                                              const platform::RegValue& value) {
    if (auto valid = CheckNames(root, subkey, &name); !valid) return valid;
    if (auto allowed = CheckWritable(root, subkey); !allowed) return allowed;
    tree_.WriteValue(root, subkey, name, value);
    return Changed(FormatValueRecord(root, subkey, name, &value));
}

platform::Outcome SandboxRegistry::DeleteValue(platform::RootKey root, std::string_view subkey, std::string_view name) {
    if (auto allowed = CheckWritable(root, subkey); !allowed) return allowed;
    if (auto deleted = tree_.DeleteValue(root, subkey, name); !deleted) return deleted;
    return Changed(FormatValueRecord(root, subkey, name, nullptr));
}

platform::Outcome SandboxRegistry::CreateKey(platform::RootKey root, std::string_view subkey) {
    if (tree_.KeyExists(root, subkey)) return {};
    if (auto valid = CheckNames(root, subkey, nullptr); !valid) return valid;
    if (auto allowed = CheckWritable(root, subkey); !allowed) return allowed;
    tree_.CreateKey(root, subkey);
    return Changed(FormatKeyRecord(root, subkey));
}

bool SandboxRegistry::KeyExists(platform::RootKey root, std::string_view subkey) { return tree_.KeyExists(root, subkey); }

platform::Outcome SandboxRegistry::DeleteKey(platform::RootKey root, std::string_view subkey) {
    if (auto allowed = CheckWritable(root, subkey); !allowed) return allowed;
    if (auto deleted = tree_.DeleteKey(root, subkey); !deleted) return deleted;
    return Changed(FormatKeyDeletionRecord(root, subkey));
}

platform::Result<std::vector<std::string>> SandboxRegistry::SubkeyNames(platform::RootKey root, std::string_view subkey) {
    return tree_.SubkeyNames(root, subkey);
}

platform::Result<std::vector<std::string>> SandboxRegistry::ValueNames(platform::RootKey root, std::string_view subkey) {
    return tree_.ValueNames(root, subkey);
}

}  // namespace rvx::sandbox
