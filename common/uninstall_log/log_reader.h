// Reads an uninstall log back into its lines, for the uninstaller. The log is read whole before
// anything is removed, so that the record naming the log itself can delete it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/result.h"

namespace rvx::uninstall_log {

// Splits the log's bytes into lines. A line ends at "\n", and a "\r" just before that "\n" goes
// with the line end (the log is written in text mode on the system); any other "\r" stays in the
// line. A last line without a line end is kept whole. A NUL byte ends the text of its line, as
// it would end the line read as a C string. Lines keep any length.
std::vector<std::string> SplitLogLines(std::string_view content);

// Opens and reads the whole log. Fails (invalid_argument) for an empty path, and as the file
// system reports when the log cannot be opened or read.
platform::Result<std::vector<std::string>> ReadLogLines(platform::FileSystem& files, std::string_view path);

}  // namespace rvx::uninstall_log
