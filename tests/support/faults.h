// Fault injection for the file layer and the registry: forwarding proxies over any file system
// (the simulated machine's, or the in-memory one) and any registry that make chosen operations
// fail as the system would: the Nth operation, a full disk after a number of bytes, a file in
// use, a path where access is denied, and a stop after the Nth change, after which no change of
// either proxy reaches the machine any more (what a killed process leaves behind).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/support/forwarding_files.h"

namespace rvx::test_support {

// Shared by the file and registry proxies of one program run: counts the changes they pass on
// and, once stopped, refuses every further change.
class StopSwitch {
public:
    // Stops after this many changes have gone through; none: never.
    void StopAfterChanges(std::optional<uint64_t> changes) { limit_ = changes; }
    void StopNow() { stopped_ = true; }
    bool stopped() const { return stopped_; }
    uint64_t changes() const { return changes_; }

    // Called before a change: false when it must not happen.
    bool Admit() {
        if (stopped_) return false;
        if (limit_ && changes_ >= *limit_) {
            stopped_ = true;
            return false;
        }
        ++changes_;
        return true;
    }

private:
    std::optional<uint64_t> limit_;
    uint64_t changes_ = 0;
    bool stopped_ = false;
};

class FaultyFiles : public ForwardingFiles {
public:
    FaultyFiles(platform::FileSystem& files, StopSwitch& stop) : ForwardingFiles(files), stop_(stop) {}

    // The Nth call (counted from 1, every kind of call) fails with status.
    void FailOperation(uint64_t n, platform::Status status) { fail_at_ = n, fail_status_ = status; }
    // Writes fail with disk_full once this many bytes have been written through the proxy.
    void FullAfterBytes(uint64_t bytes) { byte_limit_ = bytes; }
    // Opening the file for writing, deleting or renaming it fails with sharing_violation.
    void HoldInUse(std::string_view path) { in_use_.push_back(Upper(path)); }
    // Every change at or below the path fails with access_denied.
    void DenyBelow(std::string_view path) { denied_.push_back(Upper(path)); }

    uint64_t operations() const { return operations_; }
    uint64_t bytes_written() const { return bytes_written_; }

    platform::Result<std::unique_ptr<platform::File>> Open(const platform::OpenRequest& r) override;
    platform::Result<std::vector<platform::FoundEntry>> FindFiles(std::string_view p) override;
    platform::Result<uint32_t> ReadAttributes(std::string_view p) override;
    platform::Outcome WriteAttributes(std::string_view p, uint32_t a) override;
    platform::Outcome MakeFolder(std::string_view p) override;
    platform::Outcome RemoveFolder(std::string_view p) override;
    platform::Outcome RemoveFile(std::string_view p) override;
    platform::Outcome RenameFile(std::string_view f, std::string_view t) override;
    platform::Outcome ScheduleMoveAtRestart(std::string_view f, std::string_view t) override;
    platform::Outcome WriteIniValue(std::string_view f, std::string_view s, std::string_view k, std::string_view v) override;

    // For the open files of the proxy.
    platform::Outcome BeforeWrite(std::string_view path, size_t size);
    platform::Outcome BeforeChange(std::string_view path);

private:
    static std::string Upper(std::string_view path);
    // An error when the call counted now is the one to fail.
    std::optional<platform::Error> Count(std::string_view path);
    bool Within(const std::vector<std::string>& list, std::string_view path, bool below) const;

    StopSwitch& stop_;
    uint64_t operations_ = 0;
    std::optional<uint64_t> fail_at_;
    platform::Status fail_status_ = platform::Status::io_error;
    std::optional<uint64_t> byte_limit_;
    uint64_t bytes_written_ = 0;
    std::vector<std::string> in_use_;
    std::vector<std::string> denied_;
};

class ForwardingRegistry : public platform::Registry {
public:
    explicit ForwardingRegistry(platform::Registry& registry) : registry_(registry) {}

    platform::Result<platform::RegValue> ReadValue(platform::RootKey r, std::string_view k, std::string_view n) override {
        return registry_.ReadValue(r, k, n);
    }
    platform::Outcome WriteValue(platform::RootKey r, std::string_view k, std::string_view n, const platform::RegValue& v) override {
        return registry_.WriteValue(r, k, n, v);
    }
    platform::Outcome DeleteValue(platform::RootKey r, std::string_view k, std::string_view n) override {
        return registry_.DeleteValue(r, k, n);
    }
    platform::Outcome CreateKey(platform::RootKey r, std::string_view k) override { return registry_.CreateKey(r, k); }
    bool KeyExists(platform::RootKey r, std::string_view k) override { return registry_.KeyExists(r, k); }
    platform::Outcome CheckWritable(platform::RootKey r, std::string_view k) override { return registry_.CheckWritable(r, k); }
    platform::Outcome DeleteKey(platform::RootKey r, std::string_view k) override { return registry_.DeleteKey(r, k); }
    platform::Result<std::vector<std::string>> SubkeyNames(platform::RootKey r, std::string_view k) override {
        return registry_.SubkeyNames(r, k);
    }
    platform::Result<std::vector<std::string>> ValueNames(platform::RootKey r, std::string_view k) override {
        return registry_.ValueNames(r, k);
    }

protected:
    platform::Registry& registry_;
};

class FaultyRegistry : public ForwardingRegistry {
public:
    FaultyRegistry(platform::Registry& registry, StopSwitch& stop) : ForwardingRegistry(registry), stop_(stop) {}

    // The Nth call (counted from 1) fails with status.
    void FailOperation(uint64_t n, platform::Status status) { fail_at_ = n, fail_status_ = status; }
    // Every change of the key or below it fails with access_denied.
    void DenyBelow(std::string_view key) { denied_.emplace_back(key); }

    platform::Result<platform::RegValue> ReadValue(platform::RootKey r, std::string_view k, std::string_view n) override;
    platform::Outcome WriteValue(platform::RootKey r, std::string_view k, std::string_view n, const platform::RegValue& v) override;
    platform::Outcome DeleteValue(platform::RootKey r, std::string_view k, std::string_view n) override;
    platform::Outcome CreateKey(platform::RootKey r, std::string_view k) override;
    platform::Outcome DeleteKey(platform::RootKey r, std::string_view k) override;

private:
    std::optional<platform::Error> Check(std::string_view key, bool change);

    StopSwitch& stop_;
    uint64_t operations_ = 0;
    std::optional<uint64_t> fail_at_;
    platform::Status fail_status_ = platform::Status::io_error;
    std::vector<std::string> denied_;
};

}  // namespace rvx::test_support
