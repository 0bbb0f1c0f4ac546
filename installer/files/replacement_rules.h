// The rules that decide whether an installed file is replaced (letters V, S, F and N of a file
// line, applied in that order), the route for files in use (letter D), and the removal of the
// files the script's [DELETE] section names.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "installer/script/expansion.h"
#include "installer/script/file_entry.h"
#include "installer/script/variables.h"
#include "platform/files.h"

namespace rvx::installer {

struct CopyState;
struct RunFlags;

// Each is true when the file is not to be copied. A version, time or font name that cannot be
// read never keeps a file from being copied.
bool ShouldSkipByVersion(platform::FileSystem& files, const FileEntry& entry);
bool ShouldSkipByDate(platform::FileSystem& files, const FileEntry& entry);
// Also notes the skipped font's file name in the copy state, for the font step.
bool ShouldSkipAsSameFont(platform::FileSystem& files, CopyState& copy, const FileEntry& entry);
bool ShouldSkipIfPresent(platform::FileSystem& files, const FileEntry& entry);

// The four rules in order, as far as the entry's letters ask for them.
bool ShouldSkipFile(platform::FileSystem& files, CopyState& copy, const FileEntry& entry);

// For an installed file that cannot be deleted: creates the ".009" file beside it, schedules
// the replacement at restart and sets the restart flag. Nothing when the file cannot be created,
// with the reason noted in the copy state.
std::unique_ptr<platform::File> OpenReplacementFile(platform::Platform& platform, CopyState& copy, RunFlags& flags,
                                                    const std::string& dest_path);

// The ".009" name beside a file: its drive, folder and base name with the extension ".009".
std::string ReplacementName(std::string_view dest_path);

// One [DELETE] line: a path (with variables) when it holds "\", else a name in the installation
// folder; every matching file of files is deleted, read-only ones too. Failures are ignored; an
// undefined variable in the path stops before anything is deleted.
Completion DeleteListedFiles(const ExpansionSources& sources, platform::FileSystem& files, std::string_view line);

}  // namespace rvx::installer
