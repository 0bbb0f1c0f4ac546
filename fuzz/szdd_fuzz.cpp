// Fuzz target: the expanding reader on arbitrary bytes taken as a stored file. Its output must
// match a plain byte-at-a-time expansion of the same bytes (which takes none of the reader's
// shortcuts), never pass the header's size, count a stream as damaged exactly when its data ends
// before that size or holds more than it, and come out the same again after Rewind, whatever the
// sizes of the reads and of the pieces the file hands out.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "installer/files/szdd_reader.h"

namespace {

using rvx::installer::ExpandingReader;
namespace platform = rvx::platform;

class MemoryFile : public platform::File {
public:
    MemoryFile(const uint8_t* data, size_t size, size_t chunk) : data_(data), size_(size), chunk_(chunk) {}
    platform::Result<size_t> Read(void* buffer, size_t size) override {
        const size_t count = std::min({size, chunk_, size_ - at_});
        if (count != 0) std::memcpy(buffer, data_ + at_, count);
        at_ += count;
        return count;
    }
    platform::Outcome Write(const void*, size_t) override { return platform::Fail(platform::Status::access_denied, "read only"); }
    platform::Result<uint64_t> Seek(int64_t offset, platform::SeekFrom) override {
        at_ = std::min<size_t>(static_cast<size_t>(offset), size_);
        return at_;
    }
    platform::Result<uint64_t> Size() override { return size_; }
    platform::Result<platform::FileTimes> Times() override { return platform::FileTimes{}; }
    platform::Outcome SetTimes(const platform::FileTimes&) override { return {}; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t chunk_;
    size_t at_ = 0;
};

struct Expansion {
    std::string bytes;
    bool damaged = false;
};

// The format as plainly as it can be written: one item at a time, every byte through the window.
Expansion Reference(const uint8_t* data, size_t size) {
    Expansion result;
    const uint64_t claimed = uint64_t{data[10]} | uint64_t{data[11]} << 8 | uint64_t{data[12]} << 16 |
                             uint64_t{data[13]} << 24;
    uint8_t window[4096];
    std::memset(window, ' ', sizeof window);
    unsigned pos = 4096 - 16;
    size_t at = 14;
    unsigned match_left = 0;
    while (result.bytes.size() < claimed) {
        if (at >= size) break;
        const unsigned flags = data[at++];
        for (int bit = 0; bit < 8 && result.bytes.size() < claimed; ++bit) {
            if (flags >> bit & 1) {
                if (at >= size) break;
                result.bytes += static_cast<char>(window[pos] = data[at++]);
                pos = (pos + 1) % 4096;
            } else {
                if (at + 1 >= size) { at = size; break; }
                unsigned from = data[at] | (data[at + 1] & 0xF0) << 4;
                unsigned length = (data[at + 1] & 0x0F) + 3;
                at += 2;
                for (; length != 0 && result.bytes.size() < claimed; --length) {
                    result.bytes += static_cast<char>(window[pos] = window[from]);
                    pos = (pos + 1) % 4096;
                    from = (from + 1) % 4096;
                }
                match_left = length;
            }
        }
    }
    // Data past the header's size (a match still running, or input left over) is damage too; the
    // compressor writes one filler item of two bytes for an empty file.
    const size_t allowed = claimed == 0 ? 2 : 0;
    result.damaged = result.bytes.size() < claimed || match_left != 0 || size - std::min(at, size) > allowed;
    return result;
}

Expansion Drain(ExpandingReader& reader, size_t chunk, uint64_t claimed) {
    Expansion result;
    std::vector<char> buffer(chunk);
    for (;;) {
        auto got = reader.Read(buffer.data(), chunk);
        if (!got) {
            result.damaged = true;
            break;
        }
        if (got.value() > chunk) __builtin_trap();
        if (got.value() == 0) break;
        result.bytes.append(buffer.data(), got.value());
        if (result.bytes.size() > claimed) __builtin_trap();
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t file_chunk = size % 7 == 0 ? size + 1 : 1 + size % 5 * 3;
    auto opened = ExpandingReader::FromFile(std::make_unique<MemoryFile>(data, size, file_chunk), "fuzz");
    if (!opened) {
        // Only a file with the signature can be refused.
        if (size < 8 || std::memcmp(data, "SZDD\x88\xF0\x27\x33", 8) != 0) __builtin_trap();
        return 0;
    }
    ExpandingReader& reader = *opened.value();
    const uint64_t claimed = reader.ExpandedSize().value_or(0);
    const Expansion first = Drain(reader, 1 + size % 97, claimed);

    if (!reader.compressed()) {
        if (first.damaged || first.bytes != std::string(reinterpret_cast<const char*>(data), size)) __builtin_trap();
    } else {
        const Expansion expected = Reference(data, size);
        if (first.bytes != expected.bytes || first.damaged != expected.damaged) __builtin_trap();
        // A stream that is not damaged gives exactly the header's size.
        if (!first.damaged && first.bytes.size() != claimed) __builtin_trap();
    }

    if (!reader.Rewind()) __builtin_trap();
    const Expansion again = Drain(reader, 4096 + size % 31, claimed);
    if (again.bytes != first.bytes || again.damaged != first.damaged) __builtin_trap();
    return 0;
}
