// Folder and file operations the script's sections ask for: creating a whole folder path,
// removing a folder tree, deleting the files a wildcard pattern matches.
#pragma once

#include <string_view>

#include "platform/files.h"

namespace rvx::installer {

// Creates every missing folder along path, one level after the other. Success when the whole
// path exists as a folder afterwards; the error of the first level that failed otherwise.
platform::Outcome CreateFolderPath(platform::FileSystem& files, std::string_view path);

// Deletes everything below folder and then folder itself; true when the folder was removed.
bool RemoveFolderTree(platform::FileSystem& files, std::string_view folder);

// Deletes every file the wildcard pattern matches, after setting its attributes to normal;
// true when every matching file was deleted.
bool DeleteMatchingFiles(platform::FileSystem& files, std::string_view pattern);

}  // namespace rvx::installer
