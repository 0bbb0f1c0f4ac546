// Reading the stored files of the installation medium, which may be kept in the compress/expand
// format (a 14-byte header, then LZSS data over a 4 KiB window). The reader expands such a file as
// it is read, in fixed memory whatever its size, and reads any other file as it stands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/result.h"

namespace rvx::installer {

// Reads a stored file of the installation medium: a file in the compress/expand format is expanded
// as it is read, any other file is read as it stands -- like the system's LZ expansion functions.
//
// A file is taken as compressed when it starts with the format's 8-byte signature. Such a file
// whose header is cut off or names a compression mode other than 'A' cannot be read at all (Open
// and FromFile fail with io_error). A compressed stream whose data disagrees with the header's
// expanded size is damaged: one that ends before it, or one that holds more. Read hands out what
// it could expand up to the size, then fails with io_error.
class ExpandingReader {
public:
    static constexpr size_t kHeaderSize = 14;
    static constexpr size_t kWindowSize = 4096;

    // Opened for reading, shared reading allowed.
    static platform::Result<std::unique_ptr<ExpandingReader>> Open(platform::FileSystem& files, std::string_view path);
    // name is only used to say which file is meant when reading fails. A caller that wrote the
    // file itself may hand over its first bytes (up to kHeaderSize, fewer only when the file is
    // that short) with the file at its start: they are not read again.
    static platform::Result<std::unique_ptr<ExpandingReader>> FromFile(std::unique_ptr<platform::File> file,
                                                                        std::string name = {},
                                                                        std::optional<std::span<const uint8_t>> known_start = {});

    ExpandingReader(const ExpandingReader&) = delete;
    ExpandingReader& operator=(const ExpandingReader&) = delete;
    ~ExpandingReader();

    bool compressed() const { return compressed_; }
    // The last character of the original file name, which the compressed file's name replaces
    // ('\0' when the header does not say, and for a file that is not compressed).
    char missing_character() const { return missing_character_; }

    // The header's size for a compressed file, the file's size otherwise.
    platform::Result<uint64_t> ExpandedSize();
    // Back to the first expanded byte.
    platform::Outcome Rewind();
    // Up to size expanded bytes; 0 at the end.
    platform::Result<size_t> Read(void* buffer, size_t size);
    // One Read of up to size expanded bytes written on to output, through buffer (which holds
    // size bytes). A file that is not compressed goes to output as it stands, which may let the
    // system move the bytes itself.
    platform::Transfer ReadInto(platform::File& output, size_t size, void* buffer);

private:
    static constexpr size_t kInputSize = 8192;

    ExpandingReader(std::unique_ptr<platform::File> file, std::string name);

    platform::Outcome ReadHeader(std::optional<std::span<const uint8_t>> known_start);
    void ResetDecoder();
    // Moves the unread input to the front of the buffer and fills the rest from the file;
    // false when the file failed (the error is kept in failure_).
    bool Refill();
    // The failure of a stream whose data ran out after `expanded` of its bytes.
    platform::Error Damaged(uint64_t expanded) const;
    // The failure of a stream that holds more than its header's size.
    platform::Error SizeDisagrees() const;
    // Reads on behind the last byte the header gives: true (the failure kept) when data follows.
    bool HoldsMoreThanItsSize();
    static constexpr size_t kEmptyFileFiller = 2;

    std::unique_ptr<platform::File> file_;
    std::string name_;
    bool compressed_ = false;
    char missing_character_ = '\0';
    uint32_t expanded_size_ = 0;

    // The decoder's state between calls of Read.
    uint64_t produced_ = 0;
    uint32_t window_pos_ = 0;
    uint32_t flags_ = 1;  // the flag byte's unused bits above a marker bit; 1 when a new one is due
    uint32_t match_pos_ = 0;
    uint32_t match_left_ = 0;  // bytes of a match not handed out yet (cut by the caller's buffer)
    size_t input_pos_ = 0;
    size_t input_end_ = 0;
    bool input_ended_ = false;
    bool failed_ = false;
    platform::Error failure_;
    // Nothing read since the header or the last rewind: a rewind has nothing to do.
    bool at_start_ = true;

    uint8_t window_[kWindowSize];
    uint8_t input_[kInputSize];
};

}  // namespace rvx::installer
