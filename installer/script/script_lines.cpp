// Reading the install script's lines a block at a time.
#include "installer/script/script_lines.h"

#include <cstring>

namespace rvx::installer {

namespace {

// Large enough that the reads cost little beside the lines' work, small beside the lines kept.
constexpr size_t kBlockSize = 64 * 1024;

}  // namespace

platform::Outcome ScriptLines::Start() { return ReadBlock(); }

platform::Outcome ScriptLines::ReadBlock() {
    // What was handed out goes, so that the buffer holds one block and the line in progress.
    if (start_ > 0) {
        bytes_.erase(0, start_);
        searched_ -= start_;
        start_ = 0;
    }
    const size_t held = bytes_.size();
    bytes_.resize(held + kBlockSize);
    auto got = file_->Read(bytes_.data() + held, kBlockSize);
    if (!got) {
        bytes_.resize(held);
        at_end_ = true;
        return got.error();
    }
    bytes_.resize(held + got.value());
    if (got.value() == 0) at_end_ = true;
    return {};
}

platform::Result<bool> ScriptLines::Next(std::string_view& line) {
    for (;;) {
        const char* begin = bytes_.data() + searched_;
        if (const void* found = std::memchr(begin, '\n', bytes_.size() - searched_)) {
            const size_t end = static_cast<size_t>(static_cast<const char*>(found) - bytes_.data());
            line = std::string_view(bytes_.data() + start_, end - start_);
            start_ = searched_ = end + 1;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            return true;
        }
        searched_ = bytes_.size();
        if (at_end_) {
            if (start_ == bytes_.size()) return false;
            line = std::string_view(bytes_.data() + start_, bytes_.size() - start_);
            start_ = searched_ = bytes_.size();
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            return true;
        }
        if (auto read = ReadBlock(); !read) return read.error();
    }
}

}  // namespace rvx::installer
