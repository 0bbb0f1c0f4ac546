// The compress/expand writer against every decoder at hand: the project's expanding reader,
// Debian's msexpand and libmspack's decompressor (when the build found it); Wine's LZ functions
// are checked by the szdd_wine_expansion test. Also its size beside mscompress's on the same
// samples, and the inputs of under 16 bytes that mscompress gets wrong.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "installer/files/szdd_reader.h"
#include "installer/files/szdd_writer.h"
#include "platform/sandbox/memory_files.h"
#include "tests/installer/szdd_samples.h"
#include "tests/support/temp_machine.h"

#ifdef RVX_HAVE_LIBMSPACK
#include <mspack.h>
#endif

using namespace rvx;
using installer::CompressSzdd;
using installer::ExpandingReader;
using test_support::kSzddSamples;
using test_support::MakeSzddSample;

namespace {

namespace fs = std::filesystem;


std::string Compressed(const std::string& data, char missing = 'X') {
    auto compressed = CompressSzdd(data, missing);
    EXPECT_TRUE(compressed.ok());
    return compressed.ok() ? compressed.value() : std::string();
}

// What the project's reader expands the bytes to; the error text when it fails.
std::string ExpandedByReader(const std::string& compressed) {
    sandbox::MemoryFiles files;
    files.Put("C:\\SAMPLE.TX_", compressed);
    auto file = files.Open({"C:\\SAMPLE.TX_"});
    if (!file) return "error: " + file.error().Describe();
    auto reader = ExpandingReader::FromFile(std::move(file.value()), "SAMPLE.TX_");
    if (!reader) return "error: " + reader.error().Describe();
    if (!reader.value()->compressed()) return "error: not taken as compressed";
    std::string out;
    char buffer[7000];
    for (;;) {
        auto got = reader.value()->Read(buffer, sizeof buffer);
        if (!got) return "error: " + got.error().Describe();
        if (got.value() == 0) break;
        out.append(buffer, got.value());
    }
    return out;
}

// Inputs beyond the fixed samples: every size up to 40 bytes, runs of blanks and repeats.
std::vector<std::string> SmallAndOddInputs() {
    std::vector<std::string> inputs;
    std::mt19937 random(7);
    for (size_t size = 0; size <= 40; ++size) {
        std::string text;
        for (size_t i = 0; i < size; ++i) text += static_cast<char>("ab  c"[random() % 5]);
        inputs.push_back(text);
    }
    inputs.push_back(std::string(5000, ' '));
    inputs.push_back(std::string(17, ' ') + "x");
    inputs.push_back(std::string(8193, 'z'));
    std::string long_period;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4077; ++j) long_period += static_cast<char>(random() & 0xFF);
    inputs.push_back(long_period);
    // Bytes that come again exactly 64 KiB later, and a few bytes short of it, where the writer's
    // 16-bit places of long ago would read as places in its window.
    for (size_t period : {size_t{65536}, size_t{65529}}) {
        std::string block;
        for (size_t i = 0; i < period; ++i) block += static_cast<char>(random() & 0xFF);
        inputs.push_back(block + block + block + block.substr(0, 100));
    }
    return inputs;
}

class TempFolder {
public:
    TempFolder() : path_(fs::temp_directory_path() / ("rvx-szdd-writer-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(SzddWriter, HeaderCarriesSignatureMissingCharacterAndSize) {
    const std::string out = Compressed("hello, world", 'E');
    ASSERT_GE(out.size(), 14u);
    EXPECT_EQ(out.substr(0, 8), std::string("SZDD\x88\xF0\x27\x33", 8));
    EXPECT_EQ(out[8], 'A');
    EXPECT_EQ(out[9], 'E');
    EXPECT_EQ(out.substr(10, 4), std::string("\x0C\0\0\0", 4));
    EXPECT_EQ(Compressed(""), std::string("SZDD\x88\xF0\x27\x33" "AX\0\0\0\0", 14)) << "an empty file is its header alone";
    EXPECT_EQ(installer::CompressedName("SETUP.EXE"), "SETUP.EX_");
    EXPECT_EQ(installer::CompressedName("bin\\README"), "bin\\READM_");
}

TEST(SzddWriter, ProjectReaderExpandsEverythingByteForByte) {
    for (const auto& sample : kSzddSamples) {
        SCOPED_TRACE(sample.name);
        const std::string data = MakeSzddSample(sample);
        EXPECT_TRUE(ExpandedByReader(Compressed(data)) == data);
    }
    for (const auto& data : SmallAndOddInputs()) {
        SCOPED_TRACE(data.size());
        EXPECT_EQ(ExpandedByReader(Compressed(data)), data);
    }
}

TEST(SzddWriter, NeverLongerThanMscompressOnItsSamples) {
    // The samples beside the tests were compressed by mscompress at build time; from 16 bytes on
    // its output expands correctly and is the size to beat.
    for (const auto& sample : kSzddSamples) {
        if (sample.size < 16) continue;
        SCOPED_TRACE(sample.name);
        const auto theirs = fs::file_size(fs::path(RVX_SZDD_SAMPLES) / (std::string(sample.name) + "_"));
        EXPECT_LE(Compressed(MakeSzddSample(sample)).size(), theirs);
    }
    // Blanks at the start use the spaces the window begins with: eighteen of them are one match
    // (a flag byte and two), where eighteen other bytes need a literal before their match.
    EXPECT_EQ(Compressed(std::string(18, ' ')).size(), 14u + 1u + 2u);
    EXPECT_EQ(Compressed(std::string(18, 'x')).size(), 14u + 1u + 1u + 2u);
}

TEST(SzddWriter, MsexpandExpandsEverythingByteForByte) {
    TempFolder folder;
    std::vector<std::string> inputs = SmallAndOddInputs();
    for (const auto& sample : kSzddSamples) inputs.push_back(MakeSzddSample(sample));
    for (size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE("input " + std::to_string(i) + " of " + std::to_string(inputs[i].size()) + " bytes");
        const fs::path compressed = folder.path() / "IN.DA_";
        const fs::path expanded = folder.path() / "OUT.DAT";
        WriteFile(compressed, Compressed(inputs[i]));
        const std::string command = std::string(RVX_MSEXPAND) + " < '" + compressed.string() + "' > '" + expanded.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_TRUE(test_support::Slurp(expanded.string()) == inputs[i]);
    }
}

TEST(SzddWriter, LibmspackExpandsEverythingByteForByte) {
#ifndef RVX_HAVE_LIBMSPACK
    GTEST_SKIP() << "libmspack was not found when the build was configured (Debian package libmspack-dev)";
#else
    TempFolder folder;
    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
    ASSERT_NE(decompressor, nullptr);
    std::vector<std::string> inputs = SmallAndOddInputs();
    for (const auto& sample : kSzddSamples) inputs.push_back(MakeSzddSample(sample));
    for (size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE("input " + std::to_string(i) + " of " + std::to_string(inputs[i].size()) + " bytes");
        const std::string compressed = (folder.path() / "IN.DA_").string();
        const std::string expanded = (folder.path() / "OUT.DAT").string();
        WriteFile(compressed, Compressed(inputs[i], 'T'));
        msszddd_header* header = decompressor->open(decompressor, const_cast<char*>(compressed.c_str()));
        ASSERT_NE(header, nullptr) << "error " << decompressor->last_error(decompressor);
        EXPECT_EQ(header->format, MSSZDD_FMT_NORMAL);
        EXPECT_EQ(header->missing_char, 'T');
        EXPECT_EQ(header->length, static_cast<off_t>(inputs[i].size()));
        decompressor->close(decompressor, header);
        ASSERT_EQ(decompressor->decompress(decompressor, const_cast<char*>(compressed.c_str()),
                                           const_cast<char*>(expanded.c_str())),
                  MSPACK_ERR_OK);
        EXPECT_TRUE(test_support::Slurp(expanded) == inputs[i]);
    }
    mspack_destroy_szdd_decompressor(decompressor);
#endif
}
