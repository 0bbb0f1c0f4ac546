// The expanding reader on files compressed by mscompress at build time (they must come back byte
// for byte, in any chunk size and after rewinding), on hand-built streams for the corners the
// compressor does not reach, on plain and damaged files, and on files of a simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "installer/files/szdd_reader.h"
#include "tests/installer/szdd_samples.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::ExpandingReader;
using platform::Status;
using test_support::kSzddSamples;
using test_support::MakeSzddSample;
using test_support::SzddSample;

namespace {

constexpr const char* kName = "D:\\DISK1\\DATA.TX_";

// A file in memory that hands out at most `chunk` bytes per read, as a slow medium might.
class MemoryFile : public platform::File {
public:
    explicit MemoryFile(std::string bytes, size_t chunk = std::numeric_limits<size_t>::max())
        : bytes_(std::move(bytes)), chunk_(chunk) {}
    platform::Result<size_t> Read(void* buffer, size_t size) override {
        const size_t count = std::min({size, chunk_, bytes_.size() - at_});
        std::memcpy(buffer, bytes_.data() + at_, count);
        at_ += count;
        bytes_read_ += count;
        return count;
    }
    platform::Outcome Write(const void*, size_t) override { return platform::Fail(Status::access_denied, "read only"); }
    platform::Result<uint64_t> Seek(int64_t offset, platform::SeekFrom from) override {
        if (from != platform::SeekFrom::begin || offset < 0) return platform::Fail(Status::invalid_argument, "seek");
        at_ = std::min<size_t>(static_cast<size_t>(offset), bytes_.size());
        return at_;
    }
    platform::Result<uint64_t> Size() override { return bytes_.size(); }
    platform::Result<platform::FileTimes> Times() override { return platform::FileTimes{}; }
    platform::Outcome SetTimes(const platform::FileTimes&) override { return {}; }
    size_t bytes_read() const { return bytes_read_; }

private:
    std::string bytes_;
    size_t chunk_;
    size_t at_ = 0;
    size_t bytes_read_ = 0;
};

std::unique_ptr<ExpandingReader> Reader(std::string bytes, size_t file_chunk = std::numeric_limits<size_t>::max()) {
    auto reader = ExpandingReader::FromFile(std::make_unique<MemoryFile>(std::move(bytes), file_chunk), kName);
    EXPECT_TRUE(reader.ok()) << reader.error().Describe();
    return reader.ok() ? std::move(reader.value()) : nullptr;
}

struct Drained {
    std::string bytes;
    std::optional<platform::Error> error;
};

// Reads until the end or the first failure, at most `limit` bytes, `chunk` bytes a call.
Drained ReadAll(ExpandingReader& reader, size_t chunk, size_t limit = std::numeric_limits<size_t>::max()) {
    Drained drained;
    std::vector<char> buffer(chunk);
    while (drained.bytes.size() < limit) {
        auto got = reader.Read(buffer.data(), std::min(chunk, limit - drained.bytes.size()));
        if (!got) {
            drained.error = got.error();
            break;
        }
        if (got.value() == 0) break;
        EXPECT_LE(got.value(), chunk);
        drained.bytes.append(buffer.data(), got.value());
    }
    return drained;
}

std::string CompressedSample(const SzddSample& sample) {
    std::string bytes = test_support::Slurp(std::string(RVX_SZDD_SAMPLES) + "/" + sample.name + "_");
    EXPECT_GE(bytes.size(), ExpandingReader::kHeaderSize) << "the sample " << sample.name << "_ was not built";
    return bytes;
}

const SzddSample& Sample(std::string_view name) {
    return *std::find_if(std::begin(kSzddSamples), std::end(kSzddSamples),
                         [&](const SzddSample& sample) { return sample.name == name; });
}

std::string Header(uint32_t size, char missing = '\0') {
    std::string header("SZDD\x88\xF0\x27\x33" "A", 9);
    header += missing;
    for (int i = 0; i < 4; ++i) header += static_cast<char>(size >> (8 * i));
    return header;
}

void SetClaimedSize(std::string& compressed, uint32_t size) { compressed.replace(0, 14, Header(size)); }

// Compressed data written item by item, for streams no compressor is asked to make.
class Stream {
public:
    Stream& Literal(char byte) { return Item(true, std::string(1, byte)); }
    Stream& Match(uint32_t position, uint32_t length) {
        return Item(false, {static_cast<char>(position & 0xFF), static_cast<char>((position >> 4 & 0xF0) | (length - 3))});
    }
    std::string bytes() const { return data_; }

private:
    Stream& Item(bool literal, const std::string& bytes) {
        if (count_ % 8 == 0) {
            flag_at_ = data_.size();
            data_ += '\0';
        }
        if (literal) data_[flag_at_] = static_cast<char>(data_[flag_at_] | 1 << count_ % 8);
        data_ += bytes;
        ++count_;
        return *this;
    }
    std::string data_;
    size_t flag_at_ = 0;
    size_t count_ = 0;
};

}  // namespace

TEST(ExpandingReader, ExpandsEveryMscompressSampleByteForByte) {
    for (const auto& sample : kSzddSamples) {
        SCOPED_TRACE(sample.name);
        auto reader = Reader(CompressedSample(sample));
        ASSERT_TRUE(reader);
        EXPECT_TRUE(reader->compressed());
        EXPECT_EQ(reader->ExpandedSize().value_or(0), sample.size);
        auto drained = ReadAll(*reader, 65536);
        EXPECT_FALSE(drained.error);
        EXPECT_TRUE(drained.bytes == MakeSzddSample(sample)) << "expanded to " << drained.bytes.size() << " bytes";
    }
}

TEST(ExpandingReader, AnyChunkSizeAndAnyRewindGiveTheSameBytes) {
    for (const char* name : {"mixed", "spaces_then_text", "random_4097", "pattern"}) {
        SCOPED_TRACE(name);
        const std::string expected = MakeSzddSample(Sample(name));
        // The medium handing out 5 bytes at a time makes every item straddle refills.
        for (size_t file_chunk : {size_t{5}, std::numeric_limits<size_t>::max()}) {
            auto reader = Reader(CompressedSample(Sample(name)), file_chunk);
            ASSERT_TRUE(reader);
            for (size_t chunk : {1, 7, 65535}) {
                SCOPED_TRACE(chunk);
                EXPECT_TRUE(ReadAll(*reader, chunk).bytes == expected);
                ASSERT_TRUE(reader->Rewind());
            }
            // Rewinding in the middle, where a match may have been cut by the buffer, starts over.
            EXPECT_TRUE(ReadAll(*reader, 7, 12345).bytes == expected.substr(0, 12345));
            ASSERT_TRUE(reader->Rewind());
            EXPECT_TRUE(ReadAll(*reader, 4096).bytes == expected);
        }
    }
}

TEST(ExpandingReader, HandBuiltStreamsCoverWindowCorners) {
    // One literal: the case mscompress gets wrong.
    auto one = Reader(Header(1, 'L') + Stream().Literal('x').bytes());
    EXPECT_EQ(one->missing_character(), 'L');
    EXPECT_EQ(ReadAll(*one, 10).bytes, "x");

    // A match into the spaces the window starts with, which the literals behind it overwrite:
    // after Rewind the window must hold spaces again.
    Stream spaces;
    spaces.Match(0, 4);
    for (char c = 'a'; c <= 't'; ++c) spaces.Literal(c);
    auto blank = Reader(Header(24) + spaces.bytes());
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(ReadAll(*blank, 10).bytes, "    abcdefghijklmnopqrst") << "pass " << pass;
        ASSERT_TRUE(blank->Rewind());
    }

    // Writing starts 16 bytes before the window's end: ten literals, then an overlapping match
    // whose writing wraps past the end, then a match reading what landed at the start.
    Stream wrap;
    for (char c = 'a'; c <= 'j'; ++c) wrap.Literal(c);
    wrap.Match(4096 - 16 + 2, 18).Match(0, 4);
    const std::string expected = "abcdefghij" "cdefghijcdefghijcd" "ijcd";
    for (size_t chunk : {1, 3, 100}) {
        auto reader = Reader(Header(static_cast<uint32_t>(expected.size())) + wrap.bytes());
        EXPECT_EQ(ReadAll(*reader, chunk).bytes, expected) << "chunk " << chunk;
    }

    // A match reading across the window's end: twenty literals fill 4080..4095 and 0..3.
    Stream across;
    for (char c = 'A'; c <= 'T'; ++c) across.Literal(c);
    across.Match(4090, 10);
    auto reader = Reader(Header(30) + across.bytes());
    EXPECT_EQ(ReadAll(*reader, 64).bytes, "ABCDEFGHIJKLMNOPQRST" "KLMNOPQRST");
}

TEST(ExpandingReader, AHeaderSizeThatDisagreesWithTheDataIsAnError) {
    const std::string expected = MakeSzddSample(Sample("text"));
    std::string compressed = CompressedSample(Sample("text"));
    EXPECT_TRUE(ReadAll(*Reader(compressed), 1000).bytes == expected);
    EXPECT_FALSE(ReadAll(*Reader(compressed), 1000).error);
    // Data left over behind a whole stream: the file would be installed without it.
    EXPECT_TRUE(ReadAll(*Reader(compressed + std::string(5000, '\x55')), 1000).error);

    // A size smaller than the data, cut between two items or inside a match, or larger: never
    // the file silently cut to the size.
    for (uint32_t size : {0u, 1u, 9999u, 23000u}) {
        SetClaimedSize(compressed, size);
        auto reader = Reader(compressed);
        const Drained drained = ReadAll(*reader, 333);
        ASSERT_TRUE(drained.error) << size;
        EXPECT_EQ(drained.error->status, Status::io_error);
        EXPECT_TRUE(expected.compare(0, drained.bytes.size(), drained.bytes) == 0) << size;
        EXPECT_LE(drained.bytes.size(), size);
    }
}

TEST(ExpandingReader, DataEndingBeforeTheSizeIsAnError) {
    const std::string expected = MakeSzddSample(Sample("text_4113"));
    const std::string compressed = CompressedSample(Sample("text_4113"));
    for (size_t cut = ExpandingReader::kHeaderSize; cut < compressed.size(); ++cut) {
        SCOPED_TRACE(cut);
        auto reader = Reader(compressed.substr(0, cut));
        auto drained = ReadAll(*reader, cut % 2 ? 7 : 4096);
        ASSERT_TRUE(drained.error);
        EXPECT_EQ(drained.error->status, Status::io_error);
        EXPECT_NE(drained.error->detail.find(kName), std::string::npos) << drained.error->detail;
        // What came before the failure is the file's real beginning, and the failure stays.
        EXPECT_TRUE(expected.compare(0, drained.bytes.size(), drained.bytes) == 0);
        char byte;
        EXPECT_EQ(reader->Read(&byte, 1).status(), Status::io_error);
    }

    // A huge claimed size over a little data: every real byte, then the failure, nothing more.
    std::string claims_too_much = CompressedSample(Sample("mixed"));
    SetClaimedSize(claims_too_much, 0xFFFFFFFF);
    auto reader = Reader(claims_too_much);
    EXPECT_EQ(reader->ExpandedSize().value_or(0), 0xFFFFFFFFu);
    for (int pass = 0; pass < 2; ++pass) {
        auto drained = ReadAll(*reader, 65535);
        EXPECT_TRUE(drained.bytes == MakeSzddSample(Sample("mixed"))) << drained.bytes.size();
        EXPECT_TRUE(drained.error);
        ASSERT_TRUE(reader->Rewind());  // rewinding clears the failure until it is met again
    }
}

TEST(ExpandingReader, ReadsOtherFilesAsTheyStand) {
    const std::string signature("SZDD\x88\xF0\x27\x33", 8);
    for (std::string plain : {std::string(), std::string("SZ"), std::string("SZDD\x88\xF0\x27\x34" "A\0\x10\0\0\0data", 18),
                              std::string(200000, 'p') + signature}) {
        auto reader = Reader(plain);
        ASSERT_TRUE(reader);
        EXPECT_FALSE(reader->compressed());
        EXPECT_EQ(reader->ExpandedSize().value_or(1), plain.size());
        EXPECT_TRUE(ReadAll(*reader, 7).bytes == plain);
        ASSERT_TRUE(reader->Rewind());
        EXPECT_TRUE(ReadAll(*reader, 65536).bytes == plain);
    }

    // Behind the signature the header must be whole and name the mode there is.
    for (std::string broken : {signature, signature + std::string("A\0\x10", 3), Header(3).replace(8, 1, "B") + "abc"}) {
        auto reader = ExpandingReader::FromFile(std::make_unique<MemoryFile>(broken), kName);
        ASSERT_FALSE(reader);
        EXPECT_EQ(reader.error().status, Status::io_error);
        EXPECT_NE(reader.error().detail.find(kName), std::string::npos) << reader.error().detail;
    }
}

TEST(ExpandingReader, AStartHandedOverByTheFilesWriterIsNotReadAgain) {
    const std::string signature("SZDD\x88\xF0\x27\x33", 8);
    const std::string compressed = CompressedSample(Sample("mixed"));
    for (const std::string& bytes : {compressed, std::string(), std::string("SZ"), std::string(70000, 'p') + signature,
                                     signature + std::string("A\0\x10", 3), Header(3).replace(8, 1, "B") + "abc"}) {
        SCOPED_TRACE(bytes.size());
        const std::string start = bytes.substr(0, ExpandingReader::kHeaderSize);
        const std::span<const uint8_t> known(reinterpret_cast<const uint8_t*>(start.data()), start.size());
        auto file = std::make_unique<MemoryFile>(bytes);
        MemoryFile& seen = *file;
        auto handed = ExpandingReader::FromFile(std::move(file), kName, known);
        auto read = ExpandingReader::FromFile(std::make_unique<MemoryFile>(bytes), kName);
        ASSERT_EQ(handed.ok(), read.ok());
        if (!read) {
            EXPECT_EQ(handed.error().status, read.error().status);
            continue;
        }
        EXPECT_EQ(seen.bytes_read(), 0u);
        EXPECT_EQ(handed.value()->compressed(), read.value()->compressed());
        EXPECT_EQ(handed.value()->ExpandedSize().value_or(1), read.value()->ExpandedSize().value_or(2));
        const std::string expanded = ReadAll(*read.value(), 4096).bytes;
        EXPECT_TRUE(ReadAll(*handed.value(), 4096).bytes == expanded);
        ASSERT_TRUE(handed.value()->Rewind());
        EXPECT_TRUE(ReadAll(*handed.value(), 65535).bytes == expanded);
    }
}

TEST(ExpandingReader, ReadsFromAMachinesCdrom) {
    test_support::TempMachine temp;
    const std::filesystem::path medium = temp.folder() / "medium";  // removed with the machine
    std::filesystem::create_directories(medium / "DISK1");
    ASSERT_TRUE(temp.machine().Mount({'D', platform::DriveType::cdrom, 0, medium.string(), true}));
    platform::FileSystem& files = temp.Start("D:\\Rovexa.exe", "").files;
    const std::string compressed = CompressedSample(Sample("mixed"));
    std::ofstream(medium / "DISK1" / "MIXED.DA_", std::ios::binary) << compressed;
    std::ofstream(medium / "DISK1" / "CUT.DA_", std::ios::binary) << compressed.substr(0, 5000);

    // A read-only medium: opening for anything but reading would fail here.
    auto reader = ExpandingReader::Open(files, "D:\\DISK1\\mixed.da_");
    ASSERT_TRUE(reader) << reader.error().Describe();
    EXPECT_TRUE(ReadAll(*reader.value(), 65536).bytes == MakeSzddSample(Sample("mixed")));

    EXPECT_EQ(ExpandingReader::Open(files, "D:\\DISK1\\MISSING.DA_").status(), Status::not_found);

    auto damaged = ExpandingReader::Open(files, "D:\\DISK1\\CUT.DA_");
    ASSERT_TRUE(damaged);
    auto drained = ReadAll(*damaged.value(), 65536);
    ASSERT_TRUE(drained.error);
    EXPECT_NE(drained.error->detail.find("D:\\DISK1\\CUT.DA_"), std::string::npos) << drained.error->detail;
}
