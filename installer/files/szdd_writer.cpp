// The compress/expand writer. Matches are found through two sets of hash chains over the last
// 4 KiB: one of places that begin with the same four bytes, walked for the longest match, and one
// of places that begin with the same three, asked only when no four bytes match (a reference costs
// the same at any distance, so the nearest three-byte match serves). A short match is weighed
// against the one that starts a byte later (taking a literal first when that one is longer), which
// gives shorter output than always taking the longest match at once. The data is seen behind a few
// spaces, because the window starts as spaces: a file that begins with blanks can use them at once.
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
// How many earlier places with the same four-byte hash are compared at most, and fewer once a
// match of kGoodMatch bytes is in hand: enough that the longest match is nearly always found, also
// in text of a small vocabulary, whose chains are long; few enough that repetitive data stays
// fast. The look a byte later goes less deep: it only asks whether a longer match is there.
constexpr int kMaxCandidates = 96;
constexpr int kMaxLaterCandidates = 32;
constexpr uint32_t kGoodMatch = 12;
// A three-byte match is the first place on its chain whose three bytes are the same; the chain may
// also hold places whose bytes only share the hash.
constexpr int kMaxShortCandidates = 64;
// A match this long is taken without looking at the one a byte later: a longer match there seldom
// pays for the literal it costs, and looking is the most expensive step.
constexpr uint32_t kLazyLimit = 5;
// Bytes behind the data, for comparisons eight bytes at a time.
constexpr size_t kPadding = 8;
// Every this many places the heads forget the places that left the window, and the age they are
// given then: beyond the window until the next time, and still below 64 KiB then.
constexpr size_t kForgetEvery = 49152;
constexpr size_t kForgottenAge = 8192;
// The header keeps the size in 32 bits.
constexpr uint64_t kLargest = std::numeric_limits<uint32_t>::max();

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
        const size_t last = std::min(at, size_ >= kMinMatch ? size_ - kMinMatch + 1 : 0);
        for (; inserted_ < last; ++inserted_) {
            if (inserted_ % kForgetEvery == 0 && inserted_ != 0) Forget(inserted_);
            // The last place reads a padding byte as its fourth; it is never asked for four bytes,
            // as a match's room ends with the data.
            const uint32_t word = Load32(data_ + inserted_);
            const auto place = static_cast<uint16_t>(inserted_);
            const uint32_t long_hash = Hash(word);
            long_prev_[inserted_ & kWindowMask] = long_head_[long_hash];
            long_head_[long_hash] = place;
            const uint32_t short_hash = Hash(word << 8);  // the first three bytes alone
            short_prev_[inserted_ & kWindowMask] = short_head_[short_hash];
            short_head_[short_hash] = place;
        }
        if (inserted_ < at) inserted_ = at;
    }

    // The longest match for the bytes at `at` that is longer than `beat` bytes, or none (all earlier
    // places inserted).
    Match Longest(size_t at, uint32_t beat = 0) const {
        const size_t room = std::min<size_t>(kMaxMatch, size_ - at);
        if (room < kMinMatch || room <= beat) return Match{};
        const uint8_t* const here = data_ + at;
        const uint32_t word = Load32(here);
        Match best{beat, 0};
        if (room > kMinMatch) {
            size_t distance = Back(at, long_head_[Hash(word)]);
            const int depth = beat ? kMaxLaterCandidates : kMaxCandidates;
            for (int tries = depth; tries > 0 && InReach(at, distance); --tries) {
                const size_t there_at = at - distance;
                const uint8_t* const there = data_ + there_at;
                // The byte that would make the match longer first: most candidates fail there.
                if (there[best.length] == here[best.length] && Load32(there) == word) {
                    const size_t length = CommonLength(there, here, room);
                    if (length > best.length) {
                        best = Match{static_cast<uint32_t>(length), static_cast<uint32_t>(distance)};
                        if (length == room) break;
                        if (length >= kGoodMatch && tries > kMaxCandidates / 4) tries = kMaxCandidates / 4;
                    }
                }
                const size_t step = Back(there_at, long_prev_[there_at & kWindowMask]);
                if (step == 0) break;
                distance += step;
            }
        }
        if (best.length < kMinMatch) {
            size_t distance = Back(at, short_head_[Hash(word << 8)]);
            for (int tries = kMaxShortCandidates; tries > 0 && InReach(at, distance); --tries) {
                const size_t there_at = at - distance;
                const uint8_t* const there = data_ + there_at;
                if (((Load32(there) ^ word) << 8) == 0) {
                    best = Match{static_cast<uint32_t>(CommonLength(there, here, room)), static_cast<uint32_t>(distance)};
                    break;
                }
                const size_t step = Back(there_at, short_prev_[there_at & kWindowMask]);
                if (step == 0) break;
                distance += step;
            }
        }
        return best.distance == 0 ? Match{} : best;
    }

private:
    // Four bytes as one number, the first byte in the lowest bits (whatever the machine's order,
    // so that shifting left by 8 drops the fourth).
    static uint32_t Load32(const uint8_t* at) {
        return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
    }

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
                length += static_cast<size_t>(std::endian::native == std::endian::little ? std::countr_zero(differ)
                                                                                           : std::countl_zero(differ)) /
                          8;
                break;
            }
            length += 8;
        }
        return std::min(length, room);
    }

    // Places kept in the heads that have left the window are marked as far away, so that no kept
    // place is ever 64 KiB old, where its low 16 bits would read as a place in the window and
    // lead the search through places that share nothing with the text at hand.
    void Forget(size_t now) {
        const auto now_bits = static_cast<uint16_t>(now);
        const auto far_away = static_cast<uint16_t>(now - kForgottenAge);
        // In 16-bit arithmetic throughout, which the compiler turns into vector instructions.
        for (std::vector<uint16_t>* head : {&long_head_, &short_head_})
            for (uint16_t& kept : *head) {
                const auto age = static_cast<uint16_t>(now_bits - kept);
                kept = age > kWindowSize ? far_away : kept;
            }
    }

    // How far back from at the place kept as its low 16 bits stands.
    static size_t Back(size_t at, uint16_t kept) { return static_cast<uint16_t>(at - kept); }
    // Whether a place that far back is one a reference may name: in the data seen, and not too far.
    static bool InReach(size_t at, size_t distance) { return distance >= 1 && distance <= std::min<size_t>(kMaxDistance, at); }

    static uint32_t Hash(uint32_t key) { return (key * 2654435761u) >> (32 - kHashBits); }

    const uint8_t* data_;
    size_t size_;
    size_t inserted_ = 0;
    // Places are kept as their low 16 bits, which tell every place of the window apart: half the
    // memory of whole positions, so that the tables stay in the processor's caches and a short
    // file does not spend its time having them mapped. Forget keeps every kept place younger than
    // 64 KiB; the chains need no such care, as only places in the window are followed.
    // On the heap: together they are too large for the stack of a Windows thread's liking.
    std::vector<uint16_t> long_head_ = std::vector<uint16_t>(size_t{1} << kHashBits);
    std::vector<uint16_t> long_prev_ = std::vector<uint16_t>(kWindowSize);
    std::vector<uint16_t> short_head_ = std::vector<uint16_t>(size_t{1} << kHashBits);
    std::vector<uint16_t> short_prev_ = std::vector<uint16_t>(kWindowSize);
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
    // Each byte written once: the spaces, the data, the zero padding.
    std::vector<uint8_t> seen;
    seen.reserve(kLeadingSpaces + data.size() + kPadding);
    seen.assign(kLeadingSpaces, ' ');
    seen.insert(seen.end(), data.begin(), data.end());
    seen.resize(seen.size() + kPadding);

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
        if (current.length < kLazyLimit && at + 1 < end) {
            finder.InsertUpTo(at + 1);
            const Match next = finder.Longest(at + 1, current.length);
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
