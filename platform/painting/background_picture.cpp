// Choosing and reading the background window's pictures.
#include "platform/painting/background_picture.h"

#include <algorithm>
#include <cstdint>

#include "platform/painting/bitmap_file.h"

namespace rvx::platform::painting {
namespace {

// Enough for the file header and the largest info header.
constexpr size_t kHeaderBytes = 14 + 124;

Result<std::vector<uint8_t>> ReadStart(FileSystem& files, const std::string& path, uint64_t limit) {
    auto file = files.Open(OpenRequest{path, Access::read, share::read, Disposition::open_existing});
    if (!file) return file.error();
    auto size = (*file)->Size();
    if (!size) return size.error();
    if (*size > kMaxPictureFileSize) return Fail(Status::invalid_argument, "the picture " + path + " is larger than 64 MB");
    std::vector<uint8_t> bytes(size_t(std::min(*size, limit)));
    size_t done = 0;
    while (done < bytes.size()) {
        auto got = (*file)->Read(bytes.data() + done, bytes.size() - done);
        if (!got) return got.error();
        if (*got == 0) break;
        done += *got;
    }
    bytes.resize(done);
    return bytes;
}

Error Naming(const std::string& path, const Error& error) { return Fail(error.status, path + ": " + error.detail); }

}  // namespace

Result<Size> ReadPictureSize(FileSystem& files, const std::string& path) {
    auto bytes = ReadStart(files, path, kHeaderBytes);
    if (!bytes) return bytes.error();
    auto size = ReadBitmapSize(*bytes);
    if (!size) return Naming(path, size.error());
    return size;
}

Result<Bitmap> ReadPicture(FileSystem& files, const std::string& path) {
    auto bytes = ReadStart(files, path, kMaxPictureFileSize);
    if (!bytes) return bytes.error();
    auto picture = ReadBitmap(*bytes);
    if (!picture) return Naming(path, picture.error());
    return picture;
}

std::optional<std::string> ChooseBackgroundPicture(const std::vector<std::string>& lines, std::string_view source_folder,
                                                   Size client, FileSystem& files) {
    if (lines.empty()) return std::nullopt;
    std::optional<std::string> chosen;
    // The largest width and height among the fitting pictures met so far.
    Size largest{-1, -1};
    for (const std::string& line : lines) {
        auto size = ReadPictureSize(files, std::string(source_folder) + line);
        if (!size || size->width > client.width || size->height > client.height) continue;
        if (size->width > largest.width && size->height > largest.height) chosen = line;
        largest.width = std::max(largest.width, size->width);
        largest.height = std::max(largest.height, size->height);
    }
    return chosen ? chosen : lines.front();
}

}  // namespace rvx::platform::painting
