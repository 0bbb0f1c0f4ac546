// Fuzz target: the compress/expand writer on arbitrary bytes, read back by the expanding reader.
// The reader must take the output as compressed, give the header's size and missing character,
// and expand it to exactly the input, in reads of any size; the output is never more than the
// all-literal form (nine bytes for eight, a flag byte and the header).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "installer/files/szdd_reader.h"
#include "installer/files/szdd_writer.h"

namespace {

namespace platform = rvx::platform;

class MemoryFile : public platform::File {
public:
    explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
    platform::Result<size_t> Read(void* buffer, size_t size) override {
        const size_t count = std::min(size, bytes_.size() - at_);
        if (count != 0) std::memcpy(buffer, bytes_.data() + at_, count);
        at_ += count;
        return count;
    }
    platform::Outcome Write(const void*, size_t) override { return platform::Fail(platform::Status::access_denied, "read only"); }
    platform::Result<uint64_t> Seek(int64_t offset, platform::SeekFrom) override {
        at_ = std::min<size_t>(static_cast<size_t>(offset), bytes_.size());
        return at_;
    }
    platform::Result<uint64_t> Size() override { return bytes_.size(); }
    platform::Result<platform::FileTimes> Times() override { return platform::FileTimes{}; }
    platform::Outcome SetTimes(const platform::FileTimes&) override { return {}; }

private:
    std::string bytes_;
    size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const char missing = size == 0 ? 'Z' : static_cast<char>(data[0]);
    auto compressed = rvx::installer::CompressSzdd(input, missing);
    if (!compressed) __builtin_trap();
    if (compressed.value().size() > 14 + size + size / 8 + 1) __builtin_trap();

    auto reader = rvx::installer::ExpandingReader::FromFile(std::make_unique<MemoryFile>(compressed.value()), "fuzz");
    if (!reader || !reader.value()->compressed()) __builtin_trap();
    if (reader.value()->missing_character() != missing) __builtin_trap();
    if (reader.value()->ExpandedSize().value_or(size + 1) != size) __builtin_trap();
    std::string expanded;
    std::vector<char> buffer(1 + size % 61);
    for (;;) {
        auto got = reader.value()->Read(buffer.data(), buffer.size());
        if (!got) __builtin_trap();
        if (got.value() == 0) break;
        expanded.append(buffer.data(), got.value());
    }
    if (expanded != input) __builtin_trap();
    return 0;
}
