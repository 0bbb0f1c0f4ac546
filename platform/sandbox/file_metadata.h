// What the simulated machine keeps about its files beyond what the host stores: the attributes
// (read-only, hidden, system, archive) and the creation time, kept in file-attributes.ini in the
// machine folder and keyed by Windows path, compared ignoring case. Only files and folders that
// differ from a new one have an entry (a new file is "archive" and was created when it was last
// written; a new folder has no attributes), so the store stays small. Entries of a drive mapped
// for one run are kept apart and never written.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/result.h"
#include "platform/sandbox/windows_path.h"

namespace rvx::sandbox {

// The attribute bits the store keeps; the others are answered by the file system itself.
inline constexpr uint32_t kStoredAttributes = platform::attributes::read_only | platform::attributes::hidden |
                                              platform::attributes::system | platform::attributes::archive;

struct FileMetadata {
    uint32_t attributes = platform::attributes::archive;  // kStoredAttributes bits only
    std::optional<platform::FileTime> creation;           // none: the last-write time
    bool operator==(const FileMetadata&) const = default;
};

class FileMetadataStore {
public:
    // Reads the store; a missing file is an empty store, a malformed one invalid_argument naming
    // the file and the line.
    static platform::Result<FileMetadataStore> Load(const std::string& host_path);
    static platform::Result<FileMetadataStore> Parse(std::string_view text, std::string_view file_name);
    std::string Format() const;
    // Writes the file (through a new file renamed over the old one) when something changed.
    platform::Outcome Save();

    std::optional<FileMetadata> Find(const WindowsPath& path) const;
    // False when nothing within folder (the folder itself included) has an entry: a listing of it
    // needs no look-up per name.
    bool HoldsAnythingWithin(const WindowsPath& folder) const;
    // Keeps metadata for path, or forgets it when it is what a new file (or folder) has.
    void Record(const WindowsPath& path, const FileMetadata& metadata, bool folder);
    // A file was written to: the system marks it for the next backup.
    void MarkChanged(const WindowsPath& path);
    // Forgets path and everything below it.
    void Forget(const WindowsPath& path);
    // Moves the entries of from and everything below it to to.
    void Move(const WindowsPath& from, const WindowsPath& to);
    // A host folder is mapped as this drive for one run: the drive's saved entries are set
    // aside (and written back unchanged), entries made during the run are never written.
    void MapDriveForOneRun(char drive);

    size_t size() const { return entries_.size(); }

private:
    struct Entry {
        std::string path;  // as the file system spelled it
        FileMetadata metadata;
    };
    // Entries below key, key itself first.
    std::map<std::string, Entry>::iterator FirstWithin(const std::string& key);
    static bool IsWithinKey(const std::string& candidate, const std::string& key);

    std::string host_path_;
    std::map<std::string, Entry> entries_;  // by the upper-case path
    std::map<std::string, Entry> set_aside_;
    std::set<char> one_run_drives_;
    bool changed_ = false;
};

// "RHSA" for the stored bits, "-" for none; and back (false for anything else).
std::string AttributeLetters(uint32_t attributes);
bool ParseAttributeLetters(std::string_view letters, uint32_t& attributes);
// A file time as "YYYY-MM-DD HH:MM:SS.fffffff" (UTC), and back.
std::string FormatFileTime(platform::FileTime time);
bool ParseFileTime(std::string_view text, platform::FileTime& time);

}  // namespace rvx::sandbox
