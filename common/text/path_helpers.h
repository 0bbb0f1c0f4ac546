// Path helpers for Windows paths, used everywhere a folder and a name are put together.
#pragma once

#include <string>
#include <string_view>

namespace rvx::path {

// The text with "\" appended unless its last character is "\" (an empty text gets one too).
std::string AddTrailingBackslash(std::string_view text);
// The text without its last character when that is "\".
std::string RemoveTrailingBackslash(std::string_view text);
// Removes one leading "\" and one trailing "\".
std::string TrimBackslashes(std::string_view text);
// left and right, each trimmed of one leading and one trailing "\", joined by one "\".
std::string Join(std::string_view left, std::string_view right);

// The folder part of a path up to and including its last "\" (empty when there is none).
std::string FolderOf(std::string_view path);
// The part after the last "\".
std::string NameOf(std::string_view path);

}  // namespace rvx::path
