// Path helpers for Windows paths.
#include "common/text/path_helpers.h"

namespace rvx::path {

std::string AddTrailingBackslash(std::string_view text) {
    std::string out(text);
    if (out.empty() || out.back() != '\\') out += '\\';
    return out;
}

std::string RemoveTrailingBackslash(std::string_view text) {
    if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
    return std::string(text);
}

std::string TrimBackslashes(std::string_view text) {
    if (!text.empty() && text.front() == '\\') text.remove_prefix(1);
    if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
    return std::string(text);
}

std::string Join(std::string_view left, std::string_view right) {
    return TrimBackslashes(left) + "\\" + TrimBackslashes(right);
}

std::string FolderOf(std::string_view path) {
    size_t last = path.rfind('\\');
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string NameOf(std::string_view path) {
    size_t last = path.rfind('\\');
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

}  // namespace rvx::path
