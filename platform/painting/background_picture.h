// Which background picture fits the screen, and the reading of the pictures the background
// window shows from the installation medium.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/files.h"
#include "platform/result.h"

namespace rvx::platform::painting {

// Pictures larger than this are not read, whatever their headers say.
inline constexpr uint64_t kMaxPictureFileSize = uint64_t(64) * 1024 * 1024;

// For each line, the picture source_folder + line is measured from its file header. The chosen
// line is the one that fits inside client (width and height not larger) and is larger in both
// width and height than every earlier fitting picture; when none fits, the first line. Nothing
// for no lines. A picture that cannot be read does not fit.
std::optional<std::string> ChooseBackgroundPicture(const std::vector<std::string>& lines, std::string_view source_folder,
                                                   Size client, FileSystem& files);

Result<Size> ReadPictureSize(FileSystem& files, const std::string& path);
Result<Bitmap> ReadPicture(FileSystem& files, const std::string& path);

}  // namespace rvx::platform::painting
