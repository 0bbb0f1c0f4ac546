// Installing one file line: the replacement rules, the choice between expanding from a
// temporary copy and expanding straight from the medium, the expansion itself with its
// progress, and the finishing steps.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/files/copy_engine.h"
#include "installer/files/example_shortcut.h"
#include "installer/script/file_entry.h"
#include "installer/files/replacement_rules.h"
#include "installer/files/shared_counts.h"
#include "installer/files/szdd_reader.h"
#include "installer/script/folder_operations.h"
#include "installer_strings.h"

namespace rvx::installer {

using platform::Access;
using platform::Disposition;
using platform::Status;

namespace {

constexpr size_t kExpansionChunk = 65535;
constexpr size_t kTempCopyBlock = 8192;
constexpr uint64_t kDirectRouteMinimum = 5000000;

bool IsShortName(std::string_view path);

}  // namespace

bool TakesTemporaryRoute(std::string_view compressed_name, uint64_t stored_size) {
    return !IsShortName(compressed_name) || stored_size < kDirectRouteMinimum;
}

std::string TemporaryFolder(platform::Environment& environment, platform::FileSystem& files) {
    std::string folder = environment.Variable("TMP").value_or("");
    if (folder.empty() || !platform::IsFolder(files, folder)) folder = "C:\\";
    return path::AddTrailingBackslash(folder);
}

namespace {

// An 8.3 name: the direct route reads only such names straight from the medium.
bool IsShortName(std::string_view path) {
    const std::string name = path::NameOf(path);
    const size_t dot = name.find_last_of('.');
    const size_t base = dot == std::string::npos ? name.size() : dot;
    const size_t extension = dot == std::string::npos ? 0 : name.size() - dot;
    return base <= 8 && extension <= 4;
}

// A name for a new temporary file "tmpN" in the temporary folder.
std::string UniqueTempName(InstallState& app) {
    platform::FileSystem& files = app.platform().files;
    const std::string folder = TemporaryFolder(app.platform().environment, files);
    for (unsigned n = 1;; ++n) {
        std::string candidate = folder + "tmp" + std::to_string(n);
        if (!platform::Exists(files, candidate)) return candidate;
    }
}

// Sums, in 64 bits, the bar position of a disk group's bytes; the share of each disk is equal.
long long OverallPercent(const CopyState& copy) {
    const int64_t unit = copy.group_bytes_total / 1000000 > 0 ? copy.group_bytes_total / 1000000 : 1;
    const int64_t scaled_total = copy.group_bytes_total / unit;
    const int64_t disks = copy.disk_count > 0 ? copy.disk_count : 1;
    const int64_t earlier_disks = (copy.current_disk - 1) * (100 / disks);
    // A group without bytes (only empty files, or no total computed) leaves the bar where the
    // group started.
    if (scaled_total <= 0) return earlier_disks;
    return (copy.group_bytes_done / unit) * 100 / scaled_total / disks + earlier_disks;
}

long long FilePercent(const CopyState& copy, uint64_t file_done, uint64_t file_size) {
    const uint64_t unit = copy.group_bytes_total / 1000000 > 0 ? static_cast<uint64_t>(copy.group_bytes_total / 1000000) : 1;
    const uint64_t file_unit = file_size / unit > 0 ? file_size / unit : 1;
    return static_cast<long long>((file_done / unit) * 100 / file_unit);
}

// The outermost folder along folder that does not exist yet; empty when all of them do.
std::string OutermostMissingFolder(platform::FileSystem& files, std::string folder) {
    std::string missing;
    while (folder.size() > 3 && !platform::Exists(files, folder)) {
        missing = folder;
        folder = path::RemoveTrailingBackslash(path::FolderOf(folder));
    }
    return missing;
}

void DeleteTemporary(InstallState& app, const std::string& temp) {
    if (!temp.empty()) (void)app.platform().files.RemoveFile(temp);
}

// The stored file's times onto the destination. The times go before the attributes: a read-only
// file can no longer be opened to set them. The source's times may have been read already
// (from the copy's own handle), and the destination may still be open (the file just written,
// never the file that replaces it at restart).
void CopyTimes(platform::FileSystem& files, const FileEntry& entry, const std::string& time_source,
               const std::optional<platform::FileTimes>& source_times, platform::File* destination) {
    std::optional<platform::FileTimes> times = source_times;
    if (!times) {
        auto source = files.Open({time_source, Access::read, platform::share::read, Disposition::open_existing});
        if (!source) return;
        if (auto read = source.value()->Times()) times = read.value();
    }
    if (destination) {
        if (times) (void)destination->SetTimes(*times);
        return;
    }
    auto dest = files.Open({entry.dest_path, Access::write, platform::share::none, Disposition::open_existing});
    if (dest && times) (void)dest.value()->SetTimes(*times);
}

// Attributes, example shortcut and shared count, after the times: done for every file that was
// opened, also after a read or write error. An undefined variable in the examples folder stops
// before the shared count.
Completion FinishFile(InstallState& app, const FileEntry& entry, bool existed_before) {
    platform::FileSystem& files = app.platform().files;
    if (entry.attributes != 0) (void)files.WriteAttributes(entry.dest_path, entry.attributes);
    if (entry.example_link)
        if (Completion made = CreateExampleShortcut(app, entry); made.stopped()) return made;
    if (entry.shared_file) {
        RaiseSharedCount(app.platform().registry, app.flags().update, entry.dest_path, existed_before);
        if (!entry.keep_on_uninstall) app.uninstall_log().RecordSharedCountRaised(entry.dest_path);
    }
    return Completion::Done();
}

}  // namespace

StoredFile OpenStoredFile(platform::FileSystem& files, const std::string& compressed, const std::string& plain) {
    for (const std::string* name : {&compressed, &plain}) {
        auto file = files.Open({*name, Access::read, platform::share::read, Disposition::open_existing});
        if (!file) continue;
        // A file whose size cannot be read counts as not there.
        auto size = file.value()->Size();
        if (size) return StoredFile{std::move(file).value(), size.value(), name == &plain};
    }
    return {};
}

namespace {

// Opens the destination for writing: deleted and created anew, or the ".009" file beside it
// when it is in use and the line allows the replacement at restart.
std::unique_ptr<platform::File> OpenDestination(InstallState& app, const FileEntry& entry, bool existed_before,
                                                bool& replacement) {
    platform::FileSystem& files = app.platform().files;
    CopyState& copy = app.copy_state();
    replacement = false;
    platform::Outcome removed = existed_before ? files.RemoveFile(entry.dest_path) : platform::Outcome();
    if (!removed) copy.last_failure = removed.status();
    if (removed || removed.status() == Status::not_found || removed.status() == Status::path_not_found) {
        auto created = files.Open({entry.dest_path, Access::write, platform::share::none, Disposition::create_always});
        if (created) return std::move(created).value();
        copy.last_failure = created.status();
        return nullptr;
    }
    if (!entry.delayed_replace) return nullptr;
    replacement = true;
    return OpenReplacementFile(app.platform(), copy, app.flags(), entry.dest_path);
}

// The expansion loop.
FileCopyResult ExpandInto(InstallState& app, ExpandingReader& input, platform::File& output, char* buffer, bool direct_route) {
    CopyState& copy = app.copy_state();
    ProgressPage& progress = app.progress();
    platform::UserInterface& ui = app.platform().ui;
    // Only the direct route shows the file's own progress, which needs its size.
    const uint64_t expanded_size = direct_route ? input.ExpandedSize().value_or(0) : 0;
    if (!input.Rewind()) {
        copy.last_failure = Status::io_error;
        return FileCopyResult::cannot_be_read;
    }
    uint64_t done = 0;
    for (;;) {
        ui.KeepAlive();
        // A read and a write in one: a plain input may then go to the output without passing
        // through the buffer.
        const platform::Transfer moved = input.ReadInto(output, kExpansionChunk, buffer);
        if (moved.read_error) {
            copy.last_failure = moved.read_error->status;
            return FileCopyResult::cannot_be_read;
        }
        if (moved.write_error) {
            copy.last_failure = moved.write_error->status;
            return FileCopyResult::cannot_be_written;
        }
        if (moved.moved == 0) break;
        ui.KeepAlive();
        done += moved.moved;
        copy.group_bytes_done += static_cast<int64_t>(moved.moved);
        progress.SetOverallBar(OverallPercent(copy));
        if (direct_route) progress.SetFileBar(FilePercent(copy, done, expanded_size));
    }
    if (direct_route) progress.SetFileBar(100);
    return FileCopyResult::done;
}

}  // namespace

TempCopyResult CopyToTemp(platform::FileSystem& files, ProgressPage& progress, CopyState& copy, std::string source,
                          const std::string& target, std::optional<char> last_char, std::string& failed_name,
                          uint64_t* size) {
    failed_name.clear();
    auto input = files.Open({source, Access::read, platform::share::read, Disposition::open_existing});
    if (!input && last_char && !source.empty()) {
        source.back() = *last_char;
        input = files.Open({source, Access::read, platform::share::read, Disposition::open_existing});
    }
    uint64_t source_size = 0;
    if (input) source_size = input.value()->Size().value_or(0);
    if (size) *size = source_size;
    if (!input) {
        copy.last_failure = input.status();
        failed_name = source;
        return TempCopyResult::source_not_found;
    }
    return CopyOpenFileToTemp(files, progress, copy, *input.value(), source_size, target, failed_name);
}

TempCopyResult CopyOpenFileToTemp(platform::FileSystem& files, ProgressPage& progress, CopyState& copy, platform::File& source,
                                  uint64_t source_size, const std::string& target, std::string& failed_name,
                                  KeptTempCopy* kept) {
    failed_name.clear();
    auto output = files.Open({target, kept ? Access::read_write : Access::write, platform::share::none, Disposition::create_always});
    if (!output) {
        copy.last_failure = output.status();
        failed_name = target;
        return TempCopyResult::temp_cannot_be_created;
    }
    const uint64_t divisor = source_size > 1000000 ? 100 : 1;
    const uint64_t scaled_size = source_size / divisor > 0 ? source_size / divisor : 1;
    char block[kTempCopyBlock];
    uint64_t done = 0;
    for (;;) {
        // A copy cut short must not be expanded as if it were whole: a failed read or write ends
        // the copy with a failure (a full disk then shows its reason).
        auto got = source.Read(block, sizeof block);
        if (!got) {
            copy.last_failure = got.status();
            progress.SetFileBar(0);
            return TempCopyResult::cannot_be_read;
        }
        if (got.value() == 0) break;
        if (auto written = output.value()->Write(block, got.value()); !written) {
            copy.last_failure = written.status();
            failed_name = target;
            progress.SetFileBar(0);
            return TempCopyResult::temp_cannot_be_created;
        }
        if (kept && kept->start_size < kept->start.size()) {
            const size_t taken = std::min(kept->start.size() - kept->start_size, got.value());
            std::memcpy(kept->start.data() + kept->start_size, block, taken);
            kept->start_size += taken;
        }
        done += got.value();
        progress.SetFileBar(static_cast<long long>(source_size == 0 ? 100 : (done / divisor) * 100 / scaled_size));
    }
    progress.SetFileBar(0);
    if (kept && output.value()->Seek(0, platform::SeekFrom::begin)) kept->file = std::move(output).value();
    return TempCopyResult::done;
}

FileCopyResult CopyOneFile(InstallState& app, std::string_view line) {
    platform::Platform& platform = app.platform();
    platform::FileSystem& files = platform.files;
    CopyState& copy = app.copy_state();
    platform.ui.KeepAlive();
    const OrStop<FileEntry> parsed = ParseFileLine(app, line);
    if (parsed.stopped()) return FileCopyResult::fatal_stop;
    const FileEntry& entry = *parsed;

    ProgressPage& progress = app.progress();
    progress.SetLine1(app.Text(kCopyingFile) + "\n  " + path::NameOf(entry.dest_path));
    progress.SetLine2(app.Text(kToFolder) + "\n  " + entry.dest_folder);

    if (ShouldSkipFile(files, copy, entry)) return FileCopyResult::done;

    // The folder that will hold the file, which is below the destination folder when the source
    // name carries sub-folders.
    const std::string holding_folder = path::RemoveTrailingBackslash(path::FolderOf(entry.dest_path));
    uninstall_log::UninstallLog& log = app.uninstall_log();
    if (!holding_folder.empty()) {
        // Recorded before it is made, so that a stop before the file's own record still
        // leaves nothing behind.
        // Nothing missing: the folder is there already and there is nothing to create.
        const std::string missing = OutermostMissingFolder(files, holding_folder);
        if (!missing.empty()) log.RecordFolderToCreate(missing);
        if (log.failed()) return FileCopyResult::failure_reported;
        if (!missing.empty()) (void)CreateFolderPath(files, holding_folder);
    }

    platform.ui.KeepAlive();
    app.TraceText(text::FormatMessage("source = %s, dest = %s\n", {entry.source_path, entry.dest_path}));
    const std::string& time_source = entry.source_path;

    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kExpansionChunk]);
    if (!buffer) return FileCopyResult::not_enough_memory;

    std::string compressed = entry.source_path;
    const char remembered = compressed.empty() ? '\0' : compressed.back();
    if (!compressed.empty()) compressed.back() = '_';

    // The compressed form is looked for first, as the system's expansion does.
    StoredFile stored = OpenStoredFile(files, compressed, entry.source_path);
    const bool temporary_route = TakesTemporaryRoute(compressed, stored.size);
    // The times come from the plain name; when that is the file copied, from the copy's handle.
    std::optional<platform::FileTimes> source_times;

    std::string temp;
    std::string input_path = compressed;
    KeptTempCopy temp_copy;  // the temporary copy, still open from its making
    if (temporary_route) {
        platform.ui.KeepAlive();
        temp = UniqueTempName(app);
        log.RecordFileToCreate(temp);
        if (log.failed()) return FileCopyResult::failure_reported;
        std::string failed_name;
        // Neither name opened: the copy tries both again and names what is missing.
        const TempCopyResult copied =
            stored.file ? CopyOpenFileToTemp(files, progress, copy, *stored.file, stored.size, temp, failed_name, &temp_copy)
                        : CopyToTemp(files, progress, copy, compressed, temp, remembered, failed_name);
        if (copied == TempCopyResult::done && stored.plain)
            if (auto times = stored.file->Times()) source_times = times.value();
        stored.file.reset();
        if (copied != TempCopyResult::done) {
            app.Message(text::InsertArguments(app.Text(*MessageFor(copied)), {failed_name}));
            DeleteTemporary(app, temp);
            return FileCopyResult::failure_reported;
        }
        input_path = temp;
    }
    stored.file.reset();
    auto input = temp_copy.file ? ExpandingReader::FromFile(std::move(temp_copy.file), temp, temp_copy.Start())
                                : ExpandingReader::Open(files, input_path);
    const auto missing_file = [](Status status) { return status == Status::not_found || status == Status::path_not_found; };
    if (!input && !temporary_route && missing_file(input.status())) input = ExpandingReader::Open(files, entry.source_path);
    if (!input) {
        copy.last_failure = input.status();
        DeleteTemporary(app, temp);
        // Only a file that is not there is "not found"; one that is there but damaged cannot be read.
        if (missing_file(input.status()))
            app.Message(text::InsertArguments(app.Text(kSourceFileNotFound), {compressed}));
        else
            app.Message(app.Text(kFileCannotBeRead));
        return FileCopyResult::failure_reported;
    }

    platform.ui.KeepAlive();
    const platform::Outcome reset = files.WriteAttributes(entry.dest_path, platform::attributes::normal);
    platform.ui.KeepAlive();
    copy.current_file = entry.dest_path;
    const bool missing = reset.status() == Status::not_found || reset.status() == Status::path_not_found;
    const bool existed_before = reset || (!missing && platform::Exists(files, entry.dest_path));
    // A shared file that was there before belongs to its other users too: only its E record,
    // written once its count is raised, may release it.
    if (!entry.keep_on_uninstall && (!entry.shared_file || !existed_before)) log.RecordFileToCreate(entry.dest_path);
    if (log.failed()) {
        input.value().reset();
        DeleteTemporary(app, temp);
        return FileCopyResult::failure_reported;
    }
    bool replacement = false;
    std::unique_ptr<platform::File> output = OpenDestination(app, entry, existed_before, replacement);
    if (!output) {
        app.TraceText(text::FormatMessage("\nError creating : %s, errno = %d\n",
                                          {entry.dest_path, static_cast<long long>(ErrnoFor(copy.last_failure))}));
        input.value().reset();
        DeleteTemporary(app, temp);
        app.Message(text::InsertArguments(app.Text(kFileCannotBeCreated), {entry.dest_path}));
        return FileCopyResult::failure_reported;
    }

    const FileCopyResult code = ExpandInto(app, *input.value(), *output, buffer.get(), !temporary_route);
    CopyTimes(files, entry, time_source, source_times, replacement ? nullptr : output.get());
    output.reset();
    input.value().reset();
    buffer.reset();
    DeleteTemporary(app, temp);
    if (FinishFile(app, entry, existed_before).stopped()) return FileCopyResult::fatal_stop;
    return code;
}

}  // namespace rvx::installer
