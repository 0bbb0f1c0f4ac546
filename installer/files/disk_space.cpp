// Disk-space checks and byte totals.
#include "installer/files/disk_space.h"

#include <algorithm>

#include "common/app/dialogs.h"
#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/files/copy_engine.h"
#include "installer/script/file_entry.h"
#include "installer/files/szdd_reader.h"
#include "installer/script/conditions.h"
#include "installer/script/folder_operations.h"
#include "installer_strings.h"

namespace rvx::installer {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Status;

namespace {

// The declared or counted need, a quarter added, in kilobytes.
int64_t NeededKilobytes(int64_t bytes) { return bytes * 5 / 4 / 1024; }

// The size of a file as it stands, when it can be opened for reading without sharing.
std::optional<uint64_t> InstalledSize(platform::FileSystem& files, const std::string& path) {
    auto file = files.Open({path, platform::Access::read, platform::share::none, platform::Disposition::open_existing});
    if (!file) return std::nullopt;
    auto size = file.value()->Size();
    if (!size) return std::nullopt;
    return size.value();
}

std::string PreallocatedFilePath(InstallState& app, const std::vector<std::string>& fields) {
    std::string result = app.folders().installation + "\\";
    if (!fields[1].empty()) result += fields[1] + "\\";
    return result + fields[0];
}

enum class FolderProbe { exists, file, created, no_rights, failed };

FolderProbe ProbeFolder(platform::FileSystem& files, const std::string& folder) {
    auto attributes = files.ReadAttributes(folder);
    if (attributes) return (attributes.value() & platform::attributes::directory) ? FolderProbe::exists : FolderProbe::file;
    auto created = CreateFolderPath(files, folder);
    if (created) return FolderProbe::created;
    return created.status() == Status::access_denied ? FolderProbe::no_rights : FolderProbe::failed;
}

std::string CompressedName(const FileEntry& entry) {
    std::string compressed = entry.source_path;
    if (!compressed.empty()) compressed.back() = '_';
    return compressed;
}

// The size of the temporary copy a file's expansion makes; 0 when it goes straight from the
// medium or its stored file cannot be found yet (a later disk).
int64_t TemporaryCopySize(const std::string& compressed, const StoredFile& stored) {
    if (!stored.file || !TakesTemporaryRoute(compressed, stored.size)) return 0;
    return static_cast<int64_t>(stored.size);
}

int64_t TemporaryCopySize(InstallState& app, const FileEntry& entry, size_t line, const StoredFileNotes* notes) {
    if (notes && line < notes->temporary_copy_sizes.size() && notes->temporary_copy_sizes[line] != StoredFileNotes::kNotOpened)
        return notes->temporary_copy_sizes[line];
    const std::string compressed = CompressedName(entry);
    return TemporaryCopySize(compressed, OpenStoredFile(app.platform().files, compressed, entry.source_path));
}

// The expanded size of a line's stored file, the compressed name first; nothing when neither
// name can be read. The stored file's temporary copy size goes into note.
std::optional<uint64_t> ExpandedSizeOf(platform::FileSystem& files, const FileEntry& entry, int64_t& note) {
    const std::string compressed = CompressedName(entry);
    StoredFile stored = OpenStoredFile(files, compressed, entry.source_path);
    if (!stored.file) {
        note = 0;
        return std::nullopt;
    }
    const int64_t temporary_size = TemporaryCopySize(compressed, stored);
    const bool plain = stored.plain;
    auto reader = ExpandingReader::FromFile(std::move(stored.file), plain ? entry.source_path : compressed);
    // A compressed name whose file cannot be read as one leaves the plain name to try.
    if (!reader && !plain) reader = ExpandingReader::Open(files, entry.source_path);
    if (!reader) return std::nullopt;
    note = temporary_size;
    auto size = reader.value()->ExpandedSize();
    if (!size) return std::nullopt;
    return size.value();
}

}  // namespace

uint32_t GetFreeKilobytes(platform::FileSystem& files, const std::string& root) {
    auto space = files.FreeSpace(root);
    if (!space) return kDriveUnreadable;
    return static_cast<uint32_t>(std::min<uint64_t>(space->free_bytes / 1024, 2147483647u));
}

std::string FormatSize(platform::Resources& resources, uint64_t bytes, int id_gb, int id_mb, int id_kb, int id_bytes) {
    constexpr uint64_t kKb = 1024, kMb = kKb * 1024, kGb = kMb * 1024;
    if (bytes < kKb) return text::FormatMessage("%d %s", {static_cast<long long>(bytes), app::LoadText(resources, id_bytes)});
    const uint64_t unit = bytes < kMb ? kKb : bytes < kGb ? kMb : kGb;
    const int id = bytes < kMb ? id_kb : bytes < kGb ? id_mb : id_gb;
    return text::FormatMessage("%d.%d %s", {static_cast<long long>(bytes / unit),
                                            static_cast<long long>((bytes % unit) * 10 / unit), app::LoadText(resources, id)});
}

OrStop<bool> CheckInstallFolder(InstallState& app, std::string& folder) {
    const char drive = folder.empty() ? '\0' : folder[0];
    app.folders().installation_drive_root = std::string(1, drive) + ":\\";
    const uint32_t free = GetFreeKilobytes(app.platform().files, app.folders().installation_drive_root);
    if (free == kDriveUnreadable) {
        app.Message(text::InsertArguments(app.Text(kDriveInvalid), {std::string(1, text::ToUpper(drive))}));
        return false;
    }
    // The need is compared as an unsigned count: a negative [SIZE] stands for more than any
    // drive holds, so a script with a wrong declaration installs nowhere.
    const int64_t declared_need = NeededKilobytes(app.script().size);
    if (declared_need < 0 || declared_need > static_cast<int64_t>(free)) {
        app.Message(app.Text(kNotEnoughSpace));
        return false;
    }
    folder = path::RemoveTrailingBackslash(folder);

    bool confirmed = false;
    if (!app.script().warn_dir_condition.empty()) {
        const OrStop<bool> warn = EvaluateComparison(app, app.script().warn_dir_condition);
        if (warn.stopped()) return warn.stop();
        if (*warn) {
            if (app.Message(app.script().warn_dir, Buttons::yes_no, Icon::warning, 2) != Answer::yes) return false;
            confirmed = true;
        }
    }

    switch (ProbeFolder(app.platform().files, folder)) {
    case FolderProbe::created: break;
    case FolderProbe::exists: {
        const bool updating_here =
            app.flags().update && text::EqualsIgnoreCase(path::RemoveTrailingBackslash(app.folders().previous_installation), folder);
        if (updating_here || confirmed) break;
        const std::string question = text::InsertArguments(app.Text(kFolderExistsQuestion), {folder});
        if (app.Message(question, Buttons::yes_no, Icon::question, 2) != Answer::yes) return false;
        break;
    }
    case FolderProbe::file:
        app.Message(text::InsertArguments(app.Text(kFileAlreadyExists), {folder}));
        return false;
    case FolderProbe::no_rights:
        app.Message(text::InsertArguments(app.Text(kNoRightToCreateFolder), {folder}));
        return false;
    case FolderProbe::failed:
        app.Message(text::InsertArguments(app.Text(kFolderCannotBeCreated), {folder}));
        return false;
    }
    folder += "\\";
    return true;
}

bool CheckSpaceForTotal(platform::Platform& platform, const Folders& folders, int64_t total) {
    return CheckSpaceOnDrive(platform, folders.installation_drive_root, total);
}

bool CheckSpaceOnDrive(platform::Platform& platform, const std::string& root, int64_t total) {
    if (total <= 0) return true;
    const int64_t needed = NeededKilobytes(total);
    const uint32_t free = GetFreeKilobytes(platform.files, root);
    if (needed <= static_cast<int64_t>(free)) return true;
    const std::string size =
        FormatSize(platform.resources, static_cast<uint64_t>(needed) * 1024, kUnitGb, kUnitMb, kUnitKb, kUnitBytes);
    const std::string message = text::InsertArguments(app::LoadText(platform.resources, kNotEnoughSpaceOnDrive), {root, size});
    ShowInstallerMessage(platform.ui, platform.resources, message);
    return false;
}

OrStop<bool> EstimateSpace(InstallState& app, const StoredFileNotes* notes) {
    ProgressPage& progress = app.progress();
    progress.SetLine1(app.Text(kCalculatingSpace));
    progress.SetLine2("");
    platform::FileSystem& files = app.platform().files;

    int64_t total = 0;
    int64_t largest_temporary = 0;
    const TextList& lines = app.script().files;
    for (size_t i = 0; i < lines.size(); ++i) {
        progress.SetFileBar(static_cast<long long>(i * 100 / lines.size()));
        if (lines[i].empty() || IsDiskMarker(lines[i])) continue;
        const OrStop<FileEntry> parsed = ParseFileLine(app, lines[i]);
        if (parsed.stopped()) return parsed.stop();
        const FileEntry& entry = *parsed;
        total += entry.size;
        if (auto installed = InstalledSize(files, entry.dest_path)) total -= static_cast<int64_t>(*installed);
        total = std::max<int64_t>(total, 0);
        largest_temporary = std::max(largest_temporary, TemporaryCopySize(app, entry, i, notes));
    }
    for (const std::string& line : app.script().create_files) {
        const std::vector<std::string> fields = text::SplitFields(line, ",");
        if (fields.size() != 3) return false;
        const std::string path = PreallocatedFilePath(app, fields);
        total += text::ParseDecimalPrefix(fields[2]) * 1000;
        if (auto installed = InstalledSize(files, path)) total -= static_cast<int64_t>(*installed);
        total = std::max<int64_t>(total, 0);
    }
    progress.SetFileBar(0);
    // The temporary copy of a file lives while the file is expanded, so its drive needs room
    // for the largest of them besides whatever else goes there.
    const std::string temporary_folder = TemporaryFolder(app.platform().environment, files);
    const std::string temporary_root = std::string(1, text::ToUpper(temporary_folder[0])) + ":\\";
    const std::string& installation_root = app.folders().installation_drive_root;
    if (!installation_root.empty() && text::ToUpper(installation_root[0]) == temporary_root[0])
        return total <= 0 || CheckSpaceForTotal(app.platform(), app.folders(), total + largest_temporary);
    return CheckSpaceForTotal(app.platform(), app.folders(), total) &&
           CheckSpaceOnDrive(app.platform(), temporary_root, largest_temporary);
}

Completion SumGroupBytes(InstallState& app, StoredFileNotes* notes) {
    ProgressPage& progress = app.progress();
    progress.SetLine1(app.Text(kGettingFileSizes));
    progress.SetLine2("");
    CopyState& copy = app.copy_state();
    copy.group_bytes_total = 0;

    const TextList& lines = app.script().files;
    if (notes) notes->temporary_copy_sizes.assign(lines.size(), StoredFileNotes::kNotOpened);
    const bool multi_disk = app.layout().removable;
    size_t start = 0;
    if (multi_disk) {
        int marker_number = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (IsDiskMarker(lines[i]) && ++marker_number == copy.current_disk) {
                start = i + 1;
                break;
            }
        }
    }
    for (size_t i = start; i < lines.size(); ++i) {
        if (IsDiskMarker(lines[i])) {
            if (multi_disk) break;
            continue;
        }
        const OrStop<FileEntry> parsed = ParseFileLine(app, lines[i]);
        if (parsed.stopped()) return parsed.stop();
        const FileEntry& entry = *parsed;
        if (entry.size != 0) {
            copy.group_bytes_total += entry.size;
            continue;
        }
        int64_t note = StoredFileNotes::kNotOpened;
        if (auto size = ExpandedSizeOf(app.platform().files, entry, note)) copy.group_bytes_total += static_cast<int64_t>(*size);
        if (notes) notes->temporary_copy_sizes[i] = note;
    }
    return Completion::Done();
}

}  // namespace rvx::installer
