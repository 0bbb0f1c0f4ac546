// Replacement rules for installed files.
#include "installer/files/replacement_rules.h"

#include <cstdint>

#include "common/text/path_helpers.h"
#include "installer/core/state/install_state.h"
#include "installer/files/font_name.h"
#include "installer/files/restart_replacement.h"
#include "installer/script/file_version.h"
#include "installer/script/folder_operations.h"
#include "installer/script/variables.h"

namespace rvx::installer {

namespace {

// Versions compare half by half, each half as a signed 32-bit number, as the system's own
// installers have always compared them.
bool IsNewer(const FileVersion& candidate, const FileVersion& installed) {
    const auto high_a = static_cast<int32_t>(candidate.most_significant), high_b = static_cast<int32_t>(installed.most_significant);
    if (high_a != high_b) return high_a > high_b;
    return static_cast<int32_t>(candidate.least_significant) > static_cast<int32_t>(installed.least_significant);
}

}  // namespace

bool ShouldSkipByVersion(platform::FileSystem& files, const FileEntry& entry) {
    const auto installed = ReadFileVersion(files, entry.dest_path);
    if (!installed) return false;
    const FileVersion source = ReadFileVersion(files, entry.source_path).value_or(FileVersion{});
    return !IsNewer(source, *installed);
}

bool ShouldSkipByDate(platform::FileSystem& files, const FileEntry& entry) {
    auto source = files.Open({entry.source_path, platform::Access::read, platform::share::read, platform::Disposition::open_existing});
    auto installed = files.Open({entry.dest_path, platform::Access::write, platform::share::none, platform::Disposition::open_existing});
    if (!source || !installed) return false;
    auto source_times = source.value()->Times();
    auto installed_times = installed.value()->Times();
    if (!source_times || !installed_times) return false;
    return source_times->last_write < installed_times->last_write;
}

bool ShouldSkipAsSameFont(platform::FileSystem& files, CopyState& copy, const FileEntry& entry) {
    const auto installed = ReadFontFamilyName(files, entry.dest_path);
    if (!installed) return false;
    const auto source = ReadFontFamilyName(files, entry.source_path);
    if (!source || *source != *installed) return false;
    copy.fonts_already_present.push_back(path::NameOf(entry.source_path));
    return true;
}

bool ShouldSkipIfPresent(platform::FileSystem& files, const FileEntry& entry) { return platform::Exists(files, entry.dest_path); }

bool ShouldSkipFile(platform::FileSystem& files, CopyState& copy, const FileEntry& entry) {
    return (entry.version_check && ShouldSkipByVersion(files, entry)) || (entry.date_check && ShouldSkipByDate(files, entry)) ||
           (entry.font_check && ShouldSkipAsSameFont(files, copy, entry)) ||
           (entry.only_if_missing && ShouldSkipIfPresent(files, entry));
}

std::string ReplacementName(std::string_view dest_path) {
    const size_t name_start = dest_path.find_last_of('\\') + 1;  // 0 when there is no folder
    const size_t dot = dest_path.find_last_of('.');
    const size_t base_end = dot != std::string_view::npos && dot >= name_start ? dot : dest_path.size();
    return std::string(dest_path.substr(0, base_end)) + ".009";
}

std::unique_ptr<platform::File> OpenReplacementFile(platform::Platform& platform, CopyState& copy, RunFlags& flags,
                                                    const std::string& dest_path) {
    const std::string replacement = ReplacementName(dest_path);
    auto file = platform.files.Open(
        {replacement, platform::Access::write, platform::share::none, platform::Disposition::create_always});
    if (!file) {
        copy.last_failure = file.status();
        return nullptr;
    }
    ScheduleReplaceAtRestart(platform, replacement, dest_path);
    flags.restart = true;
    return std::move(file).value();
}

Completion DeleteListedFiles(const ExpansionSources& sources, platform::FileSystem& files, std::string_view line) {
    std::string pattern(line);
    if (pattern.find('\\') != std::string::npos) {
        Expansion expanded = Expanded(sources, pattern);
        if (expanded.stopped()) return expanded.stop();
        pattern = std::move(*expanded);
    } else {
        pattern = path::AddTrailingBackslash(sources.folders.installation) + pattern;
    }
    (void)DeleteMatchingFiles(files, pattern);
    return Completion::Done();
}

}  // namespace rvx::installer
