// The in-memory file system: one node per file or folder, keyed by its path in upper case.
#include "platform/sandbox/memory_files.h"

#include <algorithm>

#include "common/text/text.h"
#include "platform/sandbox/ini_text.h"
#include "platform/sandbox/wildcard.h"

namespace rvx::sandbox {

using platform::Access;
using platform::Disposition;
using platform::Fail;
using platform::Outcome;
using platform::Result;
using platform::Status;

struct MemoryFiles::Node {
    std::string path;  // as first created
    bool folder = false;
    uint32_t attributes = platform::attributes::archive;
    platform::FileTimes times;
    std::shared_ptr<std::string> data = std::make_shared<std::string>();
};

struct MemoryFiles::Drive {
    uint64_t capacity = kDefaultCapacity;
    platform::DriveType kind = platform::DriveType::fixed;
};

namespace {

std::string Key(const WindowsPath& path) { return text::ToUpper(path.Text()); }

class MemoryFile : public platform::File {
public:
    MemoryFile(std::shared_ptr<std::string> data, platform::FileTimes* times, Access access)
        : data_(std::move(data)), times_(times), access_(access) {}

    Result<size_t> Read(void* buffer, size_t size) override {
        if (access_ == Access::write) return Fail(Status::access_denied, "opened for writing only");
        if (position_ >= data_->size()) return size_t{0};
        const size_t count = std::min(size, data_->size() - static_cast<size_t>(position_));
        std::copy_n(data_->data() + position_, count, static_cast<char*>(buffer));
        position_ += count;
        return count;
    }
    Outcome Write(const void* data, size_t size) override {
        if (access_ == Access::read) return Fail(Status::access_denied, "opened for reading only");
        if (data_->size() < position_ + size) data_->resize(position_ + size);
        std::copy_n(static_cast<const char*>(data), size, data_->data() + position_);
        position_ += size;
        return {};
    }
    Result<uint64_t> Seek(int64_t offset, platform::SeekFrom from) override {
        const int64_t base = from == platform::SeekFrom::begin ? 0
                           : from == platform::SeekFrom::current ? static_cast<int64_t>(position_)
                                                                  : static_cast<int64_t>(data_->size());
        if (base + offset < 0) return Fail(Status::invalid_argument, "seek before the start");
        position_ = static_cast<uint64_t>(base + offset);
        return position_;
    }
    Result<uint64_t> Size() override { return static_cast<uint64_t>(data_->size()); }
    Result<platform::FileTimes> Times() override { return *times_; }
    Outcome SetTimes(const platform::FileTimes& times) override {
        if (access_ == Access::read) return Fail(Status::access_denied, "opened for reading only");
        *times_ = times;
        return {};
    }

private:
    std::shared_ptr<std::string> data_;
    platform::FileTimes* times_;  // the node's; nodes outlive the tests' open files
    Access access_;
    uint64_t position_ = 0;
};

}  // namespace

MemoryFiles::MemoryFiles() { AddDrive('C'); }
MemoryFiles::~MemoryFiles() = default;

void MemoryFiles::AddDrive(char letter, uint64_t capacity, platform::DriveType kind) {
    drives_[text::ToUpper(letter)] = Drive{capacity, kind};
}

void MemoryFiles::HoldInUse(std::string_view path) {
    if (auto normal = Normalize(path)) in_use_.push_back(Key(normal.value()));
}

void MemoryFiles::Put(std::string_view path, std::string_view content) {
    auto normal = Normalize(path);
    if (!normal) return;
    WindowsPath folder;
    folder.drive = normal->drive;
    for (size_t i = 0; i + 1 < normal->components.size(); ++i) {
        folder.components.push_back(normal->components[i]);
        (void)MakeFolder(folder.Text());
    }
    (void)WriteWholeFile(*this, normal->Text(), content);
}

std::optional<std::string> MemoryFiles::Text(std::string_view path) {
    auto normal = Normalize(path);
    if (!normal) return std::nullopt;
    Node* node = Find(normal.value());
    if (!node || node->folder) return std::nullopt;
    return *node->data;
}

std::vector<std::string> MemoryFiles::Listing() const {
    std::vector<std::string> keys;
    for (const auto& [key, node] : nodes_) keys.push_back(node->folder ? key + "\\" : key);
    return keys;
}

Result<WindowsPath> MemoryFiles::Normalize(std::string_view path) const {
    auto normal = NormalizeWindowsPath(path, current_);
    if (!normal) return normal.error();
    if (!drives_.contains(normal->drive)) return Fail(Status::path_not_found, normal->Text());
    return normal;
}

MemoryFiles::Node* MemoryFiles::Find(const WindowsPath& path) {
    const auto found = nodes_.find(Key(path));
    return found == nodes_.end() ? nullptr : found->second.get();
}

platform::Error MemoryFiles::Missing(const WindowsPath& path) {
    const WindowsPath parent = path.Parent();
    const bool parent_there = parent.IsRoot() || (Find(parent) && Find(parent)->folder);
    return Fail(parent_there ? Status::not_found : Status::path_not_found, path.Text());
}

bool MemoryFiles::InUse(const WindowsPath& path) const {
    return std::find(in_use_.begin(), in_use_.end(), Key(path)) != in_use_.end();
}

Result<std::unique_ptr<platform::File>> MemoryFiles::Open(const platform::OpenRequest& request) {
    auto normal = Normalize(request.path);
    if (!normal) return normal.error();
    if (normal->IsRoot()) return Fail(Status::access_denied, normal->Text());
    Node* node = Find(normal.value());
    const bool writes = request.access != Access::read;
    if (node && node->folder) return Fail(Status::access_denied, normal->Text());
    if (node && request.disposition == Disposition::create_new) return Fail(Status::already_exists, normal->Text());
    if (!node && request.disposition == Disposition::open_existing) return Missing(normal.value());
    if (node && InUse(normal.value())) return Fail(Status::sharing_violation, normal->Text());
    if (node && writes && (node->attributes & platform::attributes::read_only))
        return Fail(Status::access_denied, normal->Text());
    if (!node) {
        const WindowsPath parent = normal->Parent();
        if (!parent.IsRoot() && !(Find(parent) && Find(parent)->folder)) return Fail(Status::path_not_found, normal->Text());
        auto created = std::make_unique<Node>();
        created->path = normal->Text();
        created->times.creation = created->times.last_write = created->times.last_access = platform::FileTime{++clock_};
        node = created.get();
        nodes_[Key(normal.value())] = std::move(created);
    } else if (request.disposition == Disposition::create_always) {
        node->data->clear();
    }
    if (writes) node->times.last_write = platform::FileTime{++clock_};
    return std::unique_ptr<platform::File>(std::make_unique<MemoryFile>(node->data, &node->times, request.access));
}

Result<std::vector<platform::FoundEntry>> MemoryFiles::FindFiles(std::string_view pattern) {
    const size_t cut = pattern.find_last_of("\\/");
    const std::string mask(cut == std::string_view::npos ? pattern : pattern.substr(cut + 1));
    if (mask.empty() || mask == "." || mask == "..") return Fail(Status::not_found, std::string(pattern));
    auto folder = Normalize(cut == std::string_view::npos ? std::string_view(".") : pattern.substr(0, cut + 1));
    if (!folder) return folder.error();
    if (!folder->IsRoot() && !(Find(folder.value()) && Find(folder.value())->folder))
        return Fail(Status::path_not_found, folder->Text());

    std::vector<platform::FoundEntry> entries;
    if (!folder->IsRoot()) {
        for (const char* dot : {".", ".."}) {
            if (MatchesSearchPattern(mask, dot)) entries.push_back({dot, platform::attributes::directory, 0, {}});
        }
    }
    const std::string prefix = text::ToUpper(folder->IsRoot() ? folder->Text() : folder->Text() + "\\");
    for (const auto& [key, node] : nodes_) {
        if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = key.substr(prefix.size());
        if (rest.find('\\') != std::string::npos) continue;
        const std::string name = node->path.substr(node->path.size() - rest.size());
        if (!MatchesSearchPattern(mask, name)) continue;
        const uint32_t attributes = node->folder ? platform::attributes::directory : node->attributes;
        entries.push_back({name, attributes, node->folder ? 0 : node->data->size(), node->times});
    }
    if (entries.empty()) return Fail(Status::not_found, std::string(pattern));
    return entries;
}

Result<uint32_t> MemoryFiles::ReadAttributes(std::string_view path) {
    auto normal = Normalize(path);
    if (!normal) return normal.error();
    if (normal->IsRoot()) return platform::attributes::directory;
    Node* node = Find(normal.value());
    if (!node) return Missing(normal.value());
    return node->folder ? platform::attributes::directory : node->attributes;
}

Outcome MemoryFiles::WriteAttributes(std::string_view path, uint32_t attributes) {
    auto normal = Normalize(path);
    if (!normal) return normal.error();
    Node* node = Find(normal.value());
    if (!node) return Missing(normal.value());
    if (!node->folder) node->attributes = attributes == platform::attributes::normal ? platform::attributes::normal : attributes;
    return {};
}

Outcome MemoryFiles::MakeFolder(std::string_view path) {
    auto normal = Normalize(path);
    if (!normal) return normal.error();
    if (normal->IsRoot() || Find(normal.value())) return Fail(Status::already_exists, normal->Text());
    const WindowsPath parent = normal->Parent();
    if (!parent.IsRoot() && !(Find(parent) && Find(parent)->folder)) return Fail(Status::path_not_found, normal->Text());
    auto node = std::make_unique<Node>();
    node->path = normal->Text();
    node->folder = true;
    nodes_[Key(normal.value())] = std::move(node);
    return {};
}

Outcome MemoryFiles::RemoveFolder(std::string_view path) {
    auto normal = Normalize(path);
    if (!normal) return normal.error();
    if (normal->IsRoot()) return Fail(Status::access_denied, normal->Text());
    Node* node = Find(normal.value());
    if (!node) return Missing(normal.value());
    if (!node->folder) return Fail(Status::invalid_argument, normal->Text());
    const std::string prefix = Key(normal.value()) + "\\";
    const auto next = nodes_.upper_bound(Key(normal.value()));
    if (next != nodes_.end() && next->first.compare(0, prefix.size(), prefix) == 0) return Fail(Status::not_empty, normal->Text());
    nodes_.erase(Key(normal.value()));
    return {};
}

Outcome MemoryFiles::RemoveFile(std::string_view path) {
    auto normal = Normalize(path);
    if (!normal) return normal.error();
    Node* node = Find(normal.value());
    if (!node) return Missing(normal.value());
    if (node->folder || (node->attributes & platform::attributes::read_only)) return Fail(Status::access_denied, normal->Text());
    if (InUse(normal.value())) return Fail(Status::sharing_violation, normal->Text());
    nodes_.erase(Key(normal.value()));
    return {};
}

Outcome MemoryFiles::RenameFile(std::string_view from, std::string_view to) {
    auto source = Normalize(from);
    if (!source) return source.error();
    auto target = Normalize(to);
    if (!target) return target.error();
    Node* node = Find(source.value());
    if (!node) return Missing(source.value());
    if (node->folder) return Fail(Status::not_available_yet, "renaming folders in memory");
    if (InUse(source.value())) return Fail(Status::sharing_violation, source->Text());
    if (Find(target.value())) return Fail(Status::already_exists, target->Text());
    const WindowsPath parent = target->Parent();
    if (!parent.IsRoot() && !(Find(parent) && Find(parent)->folder)) return Fail(Status::path_not_found, target->Text());
    auto moved = std::move(nodes_[Key(source.value())]);
    nodes_.erase(Key(source.value()));
    moved->path = target->Text();
    nodes_[Key(target.value())] = std::move(moved);
    return {};
}

Outcome MemoryFiles::ScheduleMoveAtRestart(std::string_view from, std::string_view to) {
    scheduled_moves_.push_back(std::string(from) + ">" + std::string(to));
    return {};
}

std::vector<char> MemoryFiles::Drives() {
    std::vector<char> letters;
    for (const auto& [letter, drive] : drives_) letters.push_back(letter);
    return letters;
}

platform::DriveType MemoryFiles::DriveKind(std::string_view root) {
    if (root.empty()) return platform::DriveType::no_root;
    const auto found = drives_.find(text::ToUpper(root.front()));
    return found == drives_.end() ? platform::DriveType::no_root : found->second.kind;
}

Result<platform::DiskSpace> MemoryFiles::FreeSpace(std::string_view root) {
    if (root.empty()) return Fail(Status::path_not_found, "no drive");
    const char letter = text::ToUpper(root.front());
    const auto found = drives_.find(letter);
    if (found == drives_.end()) return Fail(Status::path_not_found, std::string(root));
    // Derived from what the drive holds, so that it cannot drift from its content.
    uint64_t used = 0;
    for (const auto& [key, node] : nodes_) {
        if (key.front() == letter && !node->folder) used += node->data->size();
    }
    const uint64_t capacity = found->second.capacity;
    return platform::DiskSpace{used >= capacity ? 0 : capacity - used, capacity};
}

Outcome MemoryFiles::WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                                   std::string_view value) {
    const std::string path = file.find('\\') == std::string_view::npos ? "C:\\WINDOWS\\" + std::string(file) : std::string(file);
    const std::string old_text = Text(path).value_or("");
    return WriteWholeFile(*this, path, SetIniValue(old_text, section, key, value));
}

std::string MemoryFiles::CurrentFolder() { return current_.Text(); }

Outcome MemoryFiles::SetCurrentFolder(std::string_view path) {
    auto normal = Normalize(path);
    if (!normal) return normal.error();
    if (!normal->IsRoot() && !(Find(normal.value()) && Find(normal.value())->folder)) return Fail(Status::path_not_found, normal->Text());
    current_ = normal.value();
    return {};
}

}  // namespace rvx::sandbox
