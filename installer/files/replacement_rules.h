// The rules that decide whether an installed file is replaced (letters V, S, F and N of a file
// line, applied in that order), the route for files in use (letter D), and the removal of the
// files the script's [DELETE] section names.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "installer/files/file_entry.h"
#include "platform/files.h"

namespace rvx::installer {

class InstallApp;

// Each is true when the file is not to be copied. A version, time or font name that cannot be
// read never keeps a file from being copied.
bool ShouldSkipByVersion(InstallApp& app, const FileEntry& entry);
bool ShouldSkipByDate(InstallApp& app, const FileEntry& entry);
// Also notes the skipped font's file name for the font step.
bool ShouldSkipAsSameFont(InstallApp& app, const FileEntry& entry);
bool ShouldSkipIfPresent(InstallApp& app, const FileEntry& entry);

// The four rules in order, as far as the entry's letters ask for them.
bool ShouldSkipFile(InstallApp& app, const FileEntry& entry);

// For an installed file that cannot be deleted: creates the ".009" file beside it, schedules
// the replacement at restart and sets the restart flag. Nothing when the file cannot be created.
std::unique_ptr<platform::File> OpenReplacementFile(InstallApp& app, const std::string& dest_path);

// The ".009" name beside a file: its drive, folder and base name with the extension ".009".
std::string ReplacementName(std::string_view dest_path);

// One [DELETE] line: a path (with variables) when it holds "\", else a name in the installation
// folder; every matching file is deleted, read-only ones too. Failures are ignored.
void DeleteListedFiles(InstallApp& app, std::string_view line);

}  // namespace rvx::installer
