// The compress/expand writer. Matches are found through hash chains over the last 4 KiB; each
// match is weighed against the one that starts a byte later (taking a literal first when that one
// is longer), which gives shorter output than always taking the longest match at once. The data
// is seen behind a few spaces, because the window starts as spaces: a file that begins with
// blanks can use them at once.
#include "installer/files/szdd_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <vector>

namespace rvx::installer {

namespace {

constexpr uint8_t kSignature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr uint8_t kModeLzss = 'A';
constexpr size_t kHeaderSize = 14;
constexpr uint32_t kWindowSize = 4096;
constexpr uint32_t kWindowMask = kWindowSize - 1;
// The decoder starts writing 16 bytes before the end of its window of spaces.
constexpr uint32_t kFirstWindowPos = kWindowSize - 16;
constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 18;
// The farthest a match reaches back: as far as the classic compressor, whose window also holds the
// bytes it looks ahead at, so that no decoder meets a match onto the position it is writing.
constexpr uint32_t kMaxDistance = kWindowSize - kMaxMatch;
// Spaces seen before the data: enough for a match of the longest length at the start.
constexpr uint32_t kLeadingSpaces = kMaxMatch;
constexpr uint32_t kHashBits = 16;
// The chains link places that begin with the same three bytes (hashed).
constexpr uint32_t kChainBytes = kMinMatch;
// How many earlier places with the same hash are compared at most, and fewer once a match of
// kGoodMatch bytes is in hand: enough that the longest match is nearly always found, few enough
// that repetitive data stays fast.
constexpr int kMaxCandidates = 48;
constexpr uint32_t kGoodMatch = 12;
// A match this long is taken without looking at the one a byte later.
constexpr uint32_t kNiceMatch = 16;
// Bytes behind the data, for comparisons eight bytes at a time.
constexpr size_t kPadding = 8;
// Positions are kept in 32 bits with 0 for "none", so the data seen stays below that.
constexpr uint64_t kLargest = std::numeric_limits<uint32_t>::max() - kLeadingSpaces - 1;

struct Match {
    uint32_t length = 0;  // 0 when there is none of kMinMatch bytes
    uint32_t distance = 0;
};

class MatchFinder {
public:
    // data is followed by kPadding more bytes.
    MatchFinder(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Every place from the next one not yet inserted up to at (excluded) becomes a candidate.
    void InsertUpTo(size_t at) {
        const size_t last = std::min(at, size_ >= kChainBytes ? size_ - kChainBytes + 1 : 0);
        for (; inserted_ < last; ++inserted_) {
            const uint32_t hash = ChainHash(inserted_);
            prev_[inserted_ & kWindowMask] = head_[hash];
            head_[hash] = static_cast<uint32_t>(inserted_ + 1);
        }
        if (inserted_ < at) inserted_ = at;
    }

    // The longest match for the bytes at `at` (all earlier places inserted).
    Match Longest(size_t at) const {
        const size_t room = std::min<size_t>(kMaxMatch, size_ - at);
        Match best;
        if (room < kMinMatch) return best;
        const uint8_t* const here = data_ + at;
        uint32_t candidate = head_[ChainHash(at)];
        for (int tries = kMaxCandidates; candidate != 0 && tries > 0; --tries) {
            const size_t there_at = candidate - 1;
            const size_t distance = at - there_at;
            if (distance > kMaxDistance) break;
            const uint8_t* const there = data_ + there_at;
            if (there[best.length] == here[best.length] && there[0] == here[0]) {
                const size_t length = CommonLength(there, here, room);
                if (length >= kMinMatch && length > best.length) {
                    best = Match{static_cast<uint32_t>(length), static_cast<uint32_t>(distance)};
                    if (length == room) break;
                    if (length >= kGoodMatch && tries > kMaxCandidates / 4) tries = kMaxCandidates / 4;
                }
            }
            candidate = prev_[there_at & kWindowMask];
        }
        return best;
    }

private:
    // How many bytes, up to room, the two places have in common; eight at a time (the data is
    // followed by kPadding bytes, so a read past its end stays in the buffer).
    static size_t CommonLength(const uint8_t* there, const uint8_t* here, size_t room) {
        size_t length = 0;
        while (length < room) {
            uint64_t a;
            uint64_t b;
            std::memcpy(&a, there + length, sizeof a);
            std::memcpy(&b, here + length, sizeof b);
            if (const uint64_t differ = a ^ b; differ != 0) {
                length += static_cast<size_t>(std::countr_zero(differ)) / 8;
                break;
            }
            length += 8;
        }
        return std::min(length, room);
    }

    uint32_t ChainHash(size_t at) const {
        const uint32_t key = uint32_t{data_[at]} << 16 | uint32_t{data_[at + 1]} << 8 | data_[at + 2];
        return (key * 2654435761u) >> (32 - kHashBits);
    }

    const uint8_t* data_;
    size_t size_;
    size_t inserted_ = 0;
    // On the heap: together they are too large for the stack of a Windows thread's liking.
    std::vector<uint32_t> head_ = std::vector<uint32_t>(size_t{1} << kHashBits);
    std::vector<uint32_t> prev_ = std::vector<uint32_t>(kWindowSize);
};

// Writes items into a buffer of the largest size they can take, in groups of eight behind their
// flag byte (a set bit for a literal).
class ItemWriter {
public:
    explicit ItemWriter(uint8_t* out) : out_(out), flag_at_(out) {}

    void Literal(uint8_t byte) {
        Flag(1);
        *out_++ = byte;
    }
    void Reference(uint32_t window_pos, uint32_t length) {
        Flag(0);
        out_[0] = static_cast<uint8_t>(window_pos & 0xFF);
        out_[1] = static_cast<uint8_t>(((window_pos >> 4) & 0xF0) | (length - kMinMatch));
        out_ += 2;
    }
    // The end of what was written; the flags of a group cut short are written here.
    uint8_t* Finish() {
        if (bit_ != 8) *flag_at_ = static_cast<uint8_t>(flags_);
        return out_;
    }

private:
    void Flag(uint32_t literal) {
        if (bit_ == 8) {
            flag_at_ = out_++;
            flags_ = 0;
            bit_ = 0;
        }
        flags_ |= literal << bit_++;
        if (bit_ == 8) *flag_at_ = static_cast<uint8_t>(flags_);
    }

    uint8_t* out_;
    uint8_t* flag_at_;
    uint32_t flags_ = 0;
    unsigned bit_ = 8;
};

void PutLittleEndian(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
}

}  // namespace

platform::Result<std::string> CompressSzdd(std::string_view data, char missing_character) {
    if (data.size() > kLargest)
        return platform::Fail(platform::Status::invalid_argument,
                              "a file of " + std::to_string(data.size()) +
                                  " bytes is too large for the compress/expand format (at most " +
                                  std::to_string(kLargest) + " bytes)");
    std::vector<uint8_t> seen(kLeadingSpaces + data.size() + kPadding);
    std::memset(seen.data(), ' ', kLeadingSpaces);
    if (!data.empty()) std::memcpy(seen.data() + kLeadingSpaces, data.data(), data.size());

    // At worst every byte is a literal: nine bytes for every eight, and a flag byte more.
    std::string out(kHeaderSize + data.size() + data.size() / 8 + 2, '\0');
    uint8_t* const start = reinterpret_cast<uint8_t*>(out.data());
    std::memcpy(start, kSignature, sizeof kSignature);
    start[8] = kModeLzss;
    start[9] = static_cast<uint8_t>(missing_character);
    PutLittleEndian(start + 10, static_cast<uint32_t>(data.size()));

    const size_t end = seen.size() - kPadding;
    MatchFinder finder(seen.data(), end);
    ItemWriter items(start + kHeaderSize);
    auto reference = [&](size_t at, Match match) {
        // Where the source bytes stand in the decoder's window; the leading spaces lie just before
        // its first position, where it holds spaces too.
        const size_t source = at - match.distance;
        items.Reference(static_cast<uint32_t>((kFirstWindowPos + kWindowSize + source - kLeadingSpaces) & kWindowMask),
                        match.length);
    };
    size_t at = kLeadingSpaces;
    finder.InsertUpTo(at);
    Match current = at < end ? finder.Longest(at) : Match{};
    while (at < end) {
        if (current.length < kMinMatch) {
            items.Literal(seen[at]);
            finder.InsertUpTo(++at);
            if (at < end) current = finder.Longest(at);
            continue;
        }
        if (current.length < kNiceMatch && at + 1 < end) {
            finder.InsertUpTo(at + 1);
            const Match next = finder.Longest(at + 1);
            if (next.length > current.length) {
                items.Literal(seen[at]);
                ++at;
                current = next;
                continue;
            }
        }
        reference(at, current);
        at += current.length;
        finder.InsertUpTo(at);
        if (at < end) current = finder.Longest(at);
    }
    out.resize(static_cast<size_t>(items.Finish() - start));
    return out;
}

std::string CompressedName(std::string_view name) {
    std::string compressed(name);
    if (!compressed.empty()) compressed.back() = '_';
    return compressed;
}

}  // namespace rvx::installer
