// The fault-injecting proxies of the file layer and the registry.
#include "tests/support/faults.h"

#include <algorithm>

#include "common/text/text.h"

namespace rvx::test_support {

using platform::Fail;
using platform::Outcome;
using platform::Result;
using platform::Status;

namespace {

platform::Error Stopped(std::string_view what) { return Fail(Status::io_error, "stopped before changing " + std::string(what)); }

class FaultyFile : public ForwardingFile {
public:
    FaultyFile(std::unique_ptr<platform::File> file, FaultyFiles& owner, std::string path)
        : ForwardingFile(std::move(file)), owner_(owner), path_(std::move(path)) {}

    Outcome Write(const void* data, size_t size) override {
        if (auto refused = owner_.BeforeWrite(path_, size); !refused) return refused;
        return file_->Write(data, size);
    }
    Outcome SetTimes(const platform::FileTimes& times) override {
        if (auto refused = owner_.BeforeChange(path_); !refused) return refused;
        return file_->SetTimes(times);
    }

private:
    FaultyFiles& owner_;
    std::string path_;
};

}  // namespace

std::string FaultyFiles::Upper(std::string_view path) { return text::ToUpper(path); }

bool FaultyFiles::Within(const std::vector<std::string>& list, std::string_view path, bool below) const {
    const std::string upper = Upper(path);
    return std::any_of(list.begin(), list.end(), [&](const std::string& item) {
        if (upper == item) return true;
        return below && upper.size() > item.size() && upper.compare(0, item.size(), item) == 0 &&
               (item.back() == '\\' || upper[item.size()] == '\\');
    });
}

std::optional<platform::Error> FaultyFiles::Count(std::string_view path) {
    ++operations_;
    if (fail_at_ && operations_ == *fail_at_) return Fail(fail_status_, "injected failure at " + std::string(path));
    return std::nullopt;
}

Outcome FaultyFiles::BeforeChange(std::string_view path) {
    if (Within(denied_, path, true)) return Fail(Status::access_denied, std::string(path));
    if (!stop_.Admit()) return Stopped(path);
    return {};
}

Outcome FaultyFiles::BeforeWrite(std::string_view path, size_t size) {
    if (auto failed = Count(path)) return *failed;
    if (byte_limit_ && bytes_written_ + size > *byte_limit_) return Fail(Status::disk_full, std::string(path));
    if (auto refused = BeforeChange(path); !refused) return refused;
    bytes_written_ += size;
    return {};
}

Result<std::unique_ptr<platform::File>> FaultyFiles::Open(const platform::OpenRequest& r) {
    if (auto failed = Count(r.path)) return *failed;
    const bool changes = r.access != platform::Access::read || r.disposition != platform::Disposition::open_existing;
    if (changes) {
        if (Within(in_use_, r.path, false)) return Fail(Status::sharing_violation, r.path);
        if (auto refused = BeforeChange(r.path); !refused) return refused.error();
    }
    auto opened = files_.Open(r);
    if (!opened) return opened.error();
    return std::unique_ptr<platform::File>(std::make_unique<FaultyFile>(std::move(opened.value()), *this, r.path));
}

Result<std::vector<platform::FoundEntry>> FaultyFiles::FindFiles(std::string_view p) {
    if (auto failed = Count(p)) return *failed;
    return files_.FindFiles(p);
}

Result<uint32_t> FaultyFiles::ReadAttributes(std::string_view p) {
    if (auto failed = Count(p)) return *failed;
    return files_.ReadAttributes(p);
}

Outcome FaultyFiles::WriteAttributes(std::string_view p, uint32_t a) {
    if (auto failed = Count(p)) return *failed;
    if (auto refused = BeforeChange(p); !refused) return refused;
    return files_.WriteAttributes(p, a);
}

Outcome FaultyFiles::MakeFolder(std::string_view p) {
    if (auto failed = Count(p)) return *failed;
    if (auto refused = BeforeChange(p); !refused) return refused;
    return files_.MakeFolder(p);
}

Outcome FaultyFiles::RemoveFolder(std::string_view p) {
    if (auto failed = Count(p)) return *failed;
    if (auto refused = BeforeChange(p); !refused) return refused;
    return files_.RemoveFolder(p);
}

Outcome FaultyFiles::RemoveFile(std::string_view p) {
    if (auto failed = Count(p)) return *failed;
    if (Within(in_use_, p, false)) return Fail(Status::sharing_violation, std::string(p));
    if (auto refused = BeforeChange(p); !refused) return refused;
    return files_.RemoveFile(p);
}

Outcome FaultyFiles::RenameFile(std::string_view f, std::string_view t) {
    if (auto failed = Count(f)) return *failed;
    if (Within(in_use_, f, false) || Within(in_use_, t, false)) return Fail(Status::sharing_violation, std::string(f));
    if (Within(denied_, t, true)) return Fail(Status::access_denied, std::string(t));
    if (auto refused = BeforeChange(f); !refused) return refused;
    return files_.RenameFile(f, t);
}

Outcome FaultyFiles::ScheduleMoveAtRestart(std::string_view f, std::string_view t) {
    if (auto failed = Count(f)) return *failed;
    if (!stop_.Admit()) return Stopped(f);
    return files_.ScheduleMoveAtRestart(f, t);
}

Outcome FaultyFiles::WriteIniValue(std::string_view f, std::string_view s, std::string_view k, std::string_view v) {
    if (auto failed = Count(f)) return *failed;
    if (auto refused = BeforeChange(f); !refused) return refused;
    return files_.WriteIniValue(f, s, k, v);
}

std::optional<platform::Error> FaultyRegistry::Check(std::string_view key, bool change) {
    ++operations_;
    if (fail_at_ && operations_ == *fail_at_) return Fail(fail_status_, "injected failure at " + std::string(key));
    if (!change) return std::nullopt;
    const std::string upper = text::ToUpper(key);
    for (const std::string& denied : denied_) {
        const std::string prefix = text::ToUpper(denied);
        if (upper == prefix || (upper.size() > prefix.size() && upper.compare(0, prefix.size(), prefix) == 0 && upper[prefix.size()] == '\\'))
            return Fail(Status::access_denied, std::string(key));
    }
    if (!stop_.Admit()) return Stopped(key);
    return std::nullopt;
}

Result<platform::RegValue> FaultyRegistry::ReadValue(platform::RootKey r, std::string_view k, std::string_view n) {
    if (auto failed = Check(k, false)) return *failed;
    return registry_.ReadValue(r, k, n);
}

Outcome FaultyRegistry::WriteValue(platform::RootKey r, std::string_view k, std::string_view n, const platform::RegValue& v) {
    if (auto failed = Check(k, true)) return *failed;
    return registry_.WriteValue(r, k, n, v);
}

Outcome FaultyRegistry::DeleteValue(platform::RootKey r, std::string_view k, std::string_view n) {
    if (auto failed = Check(k, true)) return *failed;
    return registry_.DeleteValue(r, k, n);
}

Outcome FaultyRegistry::CreateKey(platform::RootKey r, std::string_view k) {
    if (auto failed = Check(k, true)) return *failed;
    return registry_.CreateKey(r, k);
}

Outcome FaultyRegistry::DeleteKey(platform::RootKey r, std::string_view k) {
    if (auto failed = Check(k, true)) return *failed;
    return registry_.DeleteKey(r, k);
}

}  // namespace rvx::test_support
