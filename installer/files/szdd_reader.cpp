// Expands files of the compress/expand format while they are read. The decoder keeps its whole
// state in the reader (window, position in the flag byte, a match cut short by the caller's
// buffer), so any buffer size works and memory stays fixed; the header's size is only a limit,
// never an allocation.
#include "installer/files/szdd_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace rvx::installer {

namespace {

constexpr uint8_t kSignature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr uint8_t kModeLzss = 'A';
constexpr uint32_t kWindowMask = ExpandingReader::kWindowSize - 1;
// The compressor starts writing 16 bytes before the end of a window of spaces, so early
// matches may point into those spaces.
constexpr uint32_t kFirstWindowPos = ExpandingReader::kWindowSize - 16;
constexpr uint8_t kWindowFill = 0x20;
constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 15 + kMinMatch;
// The most input one item takes: a new flag byte and a match's two bytes.
constexpr size_t kMaxItemInput = 3;

// Reads until size bytes are there or the file ends.
platform::Result<size_t> ReadFully(platform::File& file, uint8_t* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        auto part = file.Read(buffer + got, size - got);
        if (!part) return part.error();
        if (part.value() == 0) break;
        got += part.value();
    }
    return got;
}

std::string Described(const std::string& name) { return name.empty() ? std::string("a compressed file") : name; }

}  // namespace

ExpandingReader::ExpandingReader(std::unique_ptr<platform::File> file, std::string name)
    : file_(std::move(file)), name_(std::move(name)) {}

ExpandingReader::~ExpandingReader() = default;

platform::Result<std::unique_ptr<ExpandingReader>> ExpandingReader::Open(platform::FileSystem& files,
                                                                          std::string_view path) {
    auto file = files.Open(platform::OpenRequest{std::string(path), platform::Access::read, platform::share::read,
                                                 platform::Disposition::open_existing});
    if (!file) return file.error();
    return FromFile(std::move(file.value()), std::string(path));
}

platform::Result<std::unique_ptr<ExpandingReader>> ExpandingReader::FromFile(std::unique_ptr<platform::File> file,
                                                                              std::string name,
                                                                              std::optional<std::span<const uint8_t>> known_start) {
    if (!file) return platform::Fail(platform::Status::invalid_argument, "no file to read");
    std::unique_ptr<ExpandingReader> reader(new ExpandingReader(std::move(file), std::move(name)));
    if (auto header = reader->ReadHeader(known_start); !header) return header.error();
    return reader;
}

// Only the signature decides: anything else is an ordinary file, read as it stands. Behind the
// signature the header must be whole and name the one mode there is, or the file is unreadable.
platform::Outcome ExpandingReader::ReadHeader(std::optional<std::span<const uint8_t>> known_start) {
    uint8_t header[kHeaderSize];
    size_t got = 0;
    if (known_start) {
        got = std::min(known_start->size(), sizeof header);
        std::memcpy(header, known_start->data(), got);
    } else {
        auto read = ReadFully(*file_, header, sizeof header);
        if (!read) return read.error();
        got = read.value();
    }
    if (got < sizeof kSignature || std::memcmp(header, kSignature, sizeof kSignature) != 0) {
        auto start = file_->Seek(0, platform::SeekFrom::begin);
        if (!start) return start.error();
        return {};
    }
    if (got < kHeaderSize)
        return platform::Fail(platform::Status::io_error, Described(name_) + " is damaged: its compression header is cut off");
    if (header[8] != kModeLzss)
        return platform::Fail(platform::Status::io_error, Described(name_) + " uses an unknown compression mode (" +
                                                                std::to_string(header[8]) + ")");
    // The compressed data follows the header, where a read of it would have left the file.
    if (known_start) {
        auto behind = file_->Seek(kHeaderSize, platform::SeekFrom::begin);
        if (!behind) return behind.error();
    }
    compressed_ = true;
    missing_character_ = static_cast<char>(header[9]);
    expanded_size_ = uint32_t{header[10]} | uint32_t{header[11]} << 8 | uint32_t{header[12]} << 16 |
                     uint32_t{header[13]} << 24;
    ResetDecoder();
    return {};
}

void ExpandingReader::ResetDecoder() {
    std::memset(window_, kWindowFill, sizeof window_);
    produced_ = 0;
    window_pos_ = kFirstWindowPos;
    flags_ = 1;
    match_pos_ = 0;
    match_left_ = 0;
    input_pos_ = 0;
    input_end_ = 0;
    input_ended_ = false;
    failed_ = false;
    failure_ = platform::Error{};
}

platform::Result<uint64_t> ExpandingReader::ExpandedSize() {
    if (compressed_) return uint64_t{expanded_size_};
    return file_->Size();
}

platform::Outcome ExpandingReader::Rewind() {
    if (at_start_) return {};
    if (!compressed_) {
        auto start = file_->Seek(0, platform::SeekFrom::begin);
        if (!start) return start.error();
        at_start_ = true;
        return {};
    }
    auto start = file_->Seek(kHeaderSize, platform::SeekFrom::begin);
    if (!start) return start.error();
    ResetDecoder();
    at_start_ = true;
    return {};
}

bool ExpandingReader::Refill() {
    const size_t left = input_end_ - input_pos_;
    std::memmove(input_, input_ + input_pos_, left);
    input_pos_ = 0;
    input_end_ = left;
    auto got = file_->Read(input_ + left, kInputSize - left);
    if (!got) {
        failure_ = got.error();
        return false;
    }
    if (got.value() == 0) input_ended_ = true;
    input_end_ += got.value();
    return true;
}

bool ExpandingReader::HoldsMoreThanItsSize() {
    // The compressor writes one filler item (a flag byte and a literal) for an empty file.
    const size_t allowed = expanded_size_ == 0 ? kEmptyFileFiller : 0;
    for (;;) {
        if (match_left_ != 0 || input_end_ - input_pos_ > allowed) {
            failure_ = SizeDisagrees();
            return true;
        }
        if (input_ended_) return false;
        if (!Refill()) return true;
    }
}

platform::Error ExpandingReader::SizeDisagrees() const {
    return platform::Fail(platform::Status::io_error, Described(name_) + " is damaged: its compressed data holds more than the " +
                                                          std::to_string(expanded_size_) + " bytes its header gives");
}

platform::Error ExpandingReader::Damaged(uint64_t expanded) const {
    return platform::Fail(platform::Status::io_error,
                          Described(name_) + " is damaged: its compressed data ends after " + std::to_string(expanded) +
                              " of the " + std::to_string(expanded_size_) + " bytes it holds");
}

platform::Transfer ExpandingReader::ReadInto(platform::File& output, size_t size, void* buffer) {
    if (!compressed_) {
        at_start_ = false;
        return output.WriteFrom(*file_, size, buffer);
    }
    return platform::WriteWhatWasRead(output, Read(buffer, size), buffer);
}

platform::Result<size_t> ExpandingReader::Read(void* buffer, size_t size) {
    at_start_ = false;
    if (!compressed_) return file_->Read(buffer, size);
    if (failed_) return failure_;

    const uint64_t remaining = expanded_size_ - produced_;
    if (remaining == 0) {
        // The header's size must be the data's: data left over means a header that lies about
        // it, and the file would be installed cut short.
        if (!HoldsMoreThanItsSize()) return size_t{0};
        failed_ = true;
        return failure_;
    }
    const size_t want = static_cast<size_t>(std::min<uint64_t>(size, remaining));
    uint8_t* const out = static_cast<uint8_t*>(buffer);
    uint8_t* const window = window_;
    size_t n = 0;
    // The state lives in locals while decoding, where the compiler can keep it in registers.
    uint32_t pos = window_pos_;
    uint32_t flags = flags_;
    uint32_t from = match_pos_;
    uint32_t left = match_left_;
    bool broken = false;

    for (;;) {
        while (left != 0 && n < want) {
            const uint8_t byte = window[from];
            window[pos] = byte;
            out[n++] = byte;
            pos = (pos + 1) & kWindowMask;
            from = (from + 1) & kWindowMask;
            --left;
        }
        if (n >= want) break;

        // The fast loop: while one more item surely has its input and room in the buffer, it
        // runs without checking either byte by byte.
        const uint8_t* in = input_ + input_pos_;
        const uint8_t* const in_end = input_ + input_end_;
        while (static_cast<size_t>(in_end - in) >= kMaxItemInput && want - n >= kMaxMatch) {
            if (flags == 1) {
                flags = uint32_t{*in++} | 0x100;
                // Eight literals in a row, common in data that does not compress, go in one copy.
                if (flags == 0x1FF && in_end - in >= 8 && pos <= kWindowSize - 8) {
                    std::memcpy(window + pos, in, 8);
                    std::memcpy(out + n, in, 8);
                    in += 8;
                    n += 8;
                    pos = (pos + 8) & kWindowMask;
                    flags = 1;
                    continue;
                }
            }
            if (flags & 1) {
                const uint8_t byte = *in++;
                window[pos] = byte;
                out[n++] = byte;
                pos = (pos + 1) & kWindowMask;
            } else {
                const uint32_t low = in[0];
                const uint32_t high = in[1];
                in += 2;
                uint32_t at = low | (high & 0xF0) << 4;
                uint32_t length = (high & 0x0F) + kMinMatch;
                // A match that neither wraps nor repeats bytes it is writing itself is copied
                // whole; the buffer has room for the longest, so its tail may be overwritten.
                const uint32_t distance = (pos - at) & kWindowMask;
                if (distance >= length && at <= kWindowSize - kMaxMatch && pos <= kWindowSize - kMaxMatch) {
                    std::memcpy(out + n, window + at, kMaxMatch);
                    std::memcpy(window + pos, out + n, length);
                    n += length;
                    pos = (pos + length) & kWindowMask;
                } else {
                    do {
                        const uint8_t byte = window[at];
                        window[pos] = byte;
                        out[n++] = byte;
                        pos = (pos + 1) & kWindowMask;
                        at = (at + 1) & kWindowMask;
                    } while (--length != 0);
                }
            }
            flags >>= 1;
        }
        input_pos_ = static_cast<size_t>(in - input_);
        if (n >= want) break;

        // Near the end of the input or of the buffer: one item at a time, with checks.
        if (input_end_ - input_pos_ < kMaxItemInput && !input_ended_) {
            if (!Refill()) {
                broken = true;
                break;
            }
            continue;
        }
        if (flags == 1) {
            if (input_pos_ == input_end_) {
                failure_ = Damaged(produced_ + n);
                broken = true;
                break;
            }
            flags = uint32_t{input_[input_pos_++]} | 0x100;
        }
        const size_t needed = (flags & 1) ? 1 : 2;
        if (input_end_ - input_pos_ < needed) {
            failure_ = Damaged(produced_ + n);
            broken = true;
            break;
        }
        if (flags & 1) {
            const uint8_t byte = input_[input_pos_++];
            window[pos] = byte;
            out[n++] = byte;
            pos = (pos + 1) & kWindowMask;
        } else {
            const uint32_t low = input_[input_pos_];
            const uint32_t high = input_[input_pos_ + 1];
            input_pos_ += 2;
            from = low | (high & 0xF0) << 4;
            left = (high & 0x0F) + kMinMatch;
        }
        flags >>= 1;
    }

    window_pos_ = pos;
    flags_ = flags;
    match_pos_ = from;
    match_left_ = left;
    produced_ += n;
    if (broken) {
        // What was expanded before the damage is handed out first; the failure comes next.
        failed_ = true;
        if (n == 0) return failure_;
    }
    return n;
}

}  // namespace rvx::installer
