// Test doubles around a real file system: ForwardingFiles passes every call on, so that a test
// overrides only the calls it watches or makes fail; ForwardingFile does the same for one file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace rvx::test_support {

class ForwardingFiles : public platform::FileSystem {
public:
    explicit ForwardingFiles(platform::FileSystem& files) : files_(files) {}

    platform::Result<std::unique_ptr<platform::File>> Open(const platform::OpenRequest& r) override { return files_.Open(r); }
    platform::Result<std::vector<platform::FoundEntry>> FindFiles(std::string_view p) override { return files_.FindFiles(p); }
    platform::Result<uint32_t> ReadAttributes(std::string_view p) override { return files_.ReadAttributes(p); }
    platform::Outcome WriteAttributes(std::string_view p, uint32_t a) override { return files_.WriteAttributes(p, a); }
    platform::Outcome MakeFolder(std::string_view p) override { return files_.MakeFolder(p); }
    platform::Outcome RemoveFolder(std::string_view p) override { return files_.RemoveFolder(p); }
    platform::Outcome RemoveFile(std::string_view p) override { return files_.RemoveFile(p); }
    platform::Outcome RenameFile(std::string_view f, std::string_view t) override { return files_.RenameFile(f, t); }
    platform::Outcome ScheduleMoveAtRestart(std::string_view f, std::string_view t) override {
        return files_.ScheduleMoveAtRestart(f, t);
    }
    std::vector<char> Drives() override { return files_.Drives(); }
    platform::DriveType DriveKind(std::string_view r) override { return files_.DriveKind(r); }
    platform::Result<platform::DiskSpace> FreeSpace(std::string_view r) override { return files_.FreeSpace(r); }
    platform::Outcome WriteIniValue(std::string_view f, std::string_view s, std::string_view k, std::string_view v) override {
        return files_.WriteIniValue(f, s, k, v);
    }
    std::string CurrentFolder() override { return files_.CurrentFolder(); }
    platform::Outcome SetCurrentFolder(std::string_view p) override { return files_.SetCurrentFolder(p); }

protected:
    platform::FileSystem& files_;
};

class ForwardingFile : public platform::File {
public:
    explicit ForwardingFile(std::unique_ptr<platform::File> file) : file_(std::move(file)) {}

    platform::Result<size_t> Read(void* buffer, size_t size) override { return file_->Read(buffer, size); }
    platform::Outcome Write(const void* data, size_t size) override { return file_->Write(data, size); }
    platform::Result<uint64_t> Seek(int64_t offset, platform::SeekFrom from) override { return file_->Seek(offset, from); }
    platform::Result<uint64_t> Size() override { return file_->Size(); }
    platform::Result<platform::FileTimes> Times() override { return file_->Times(); }
    platform::Outcome SetTimes(const platform::FileTimes& times) override { return file_->SetTimes(times); }

protected:
    std::unique_ptr<platform::File> file_;
};

}  // namespace rvx::test_support
