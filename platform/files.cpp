// Helpers built on the FileSystem interface alone, shared by every implementation, and the
// transfer between two files that any file can do through a buffer.
#include "platform/files.h"

namespace rvx::platform {

Transfer WriteWhatWasRead(File& output, const Result<size_t>& got, const void* buffer) {
    Transfer done;
    if (!got) {
        done.read_error = got.error();
        return done;
    }
    if (got.value() == 0) return done;
    if (auto written = output.Write(buffer, got.value()); !written) {
        done.write_error = written.error();
        return done;
    }
    done.moved = got.value();
    return done;
}

Transfer File::WriteFrom(File& source, size_t size, void* buffer) {
    return WriteWhatWasRead(*this, source.Read(buffer, size), buffer);
}

bool Exists(FileSystem& files, std::string_view path) { return files.ReadAttributes(path).ok(); }

bool IsFolder(FileSystem& files, std::string_view path) {
    auto found = files.ReadAttributes(path);
    return found.ok() && (found.value() & attributes::directory) != 0;
}

Result<std::string> ReadWholeFile(FileSystem& files, std::string_view path) {
    auto file = files.Open(OpenRequest{std::string(path), Access::read, share::read, Disposition::open_existing});
    if (!file) return file.error();
    std::string text;
    char buffer[16384];
    for (;;) {
        auto got = file.value()->Read(buffer, sizeof buffer);
        if (!got) return got.error();
        if (got.value() == 0) break;
        text.append(buffer, got.value());
    }
    return text;
}

Outcome WriteWholeFile(FileSystem& files, std::string_view path, std::string_view text) {
    auto file = files.Open(OpenRequest{std::string(path), Access::write, share::none, Disposition::create_always});
    if (!file) return file.error();
    return file.value()->Write(text.data(), text.size());
}

}  // namespace rvx::platform
