// The file version reader on real Windows images built with MinGW-w64 (a 32-bit program and a
// 64-bit library), on images without a version, and on damaged and cut-off copies of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "installer/script/file_version.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::FileVersion;
using installer::ReadFileVersion;

namespace rvx::installer {
void PrintTo(const FileVersion& version, std::ostream* out) {
    *out << (version.most_significant >> 16) << '.' << (version.most_significant & 0xFFFF) << '.'
         << (version.least_significant >> 16) << '.' << (version.least_significant & 0xFFFF);
}
}  // namespace rvx::installer

namespace {

using Image = std::vector<uint8_t>;

Image Load(const char* path) {
    std::string bytes = test_support::Slurp(path);
    EXPECT_FALSE(bytes.empty()) << "the test image " << path << " was not built";
    return Image(bytes.begin(), bytes.end());
}

FileVersion Version(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return FileVersion{a << 16 | b, c << 16 | d}; }

uint32_t Get32(const Image& image, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | image.at(at + i);
    return value;
}

void Put32(Image& image, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) image.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

// Where a byte pattern first occurs; the image's size when it does not.
size_t Find(const Image& image, const Image& pattern) {
    return std::search(image.begin(), image.end(), pattern.begin(), pattern.end()) - image.begin();
}

// The fixed information starts with its signature; the block it belongs to starts 40 bytes earlier.
size_t FixedInfoAt(const Image& image) {
    size_t at = Find(image, {0xBD, 0x04, 0xEF, 0xFE});
    EXPECT_LT(at, image.size()) << "the image has no version block";
    return at;
}

// The file offset of the resource section, from its section header.
size_t ResourceSectionAt(const Image& image) {
    size_t header = Find(image, {'.', 'r', 's', 'r', 'c', 0, 0, 0});
    EXPECT_LT(header, image.size()) << "the image has no resource section";
    return Get32(image, header + 20);
}

struct Sample {
    const char* path;
    FileVersion version;
};

const Sample kSamples[] = {
    {RVX_IMAGE_VERSION_PE32, Version(1, 2, 3, 4)},
    {RVX_IMAGE_VERSION_PE32PLUS, Version(10, 0, 65535, 7)},
};

}  // namespace

TEST(FileVersion, ReadsTheVersionOfRealImagesOfBothWidths) {
    const uint16_t expected_magic[] = {0x10b, 0x20b};  // PE32, then PE32+
    for (size_t index = 0; index < std::size(kSamples); ++index) {
        SCOPED_TRACE(kSamples[index].path);
        Image image = Load(kSamples[index].path);
        ASSERT_GT(image.size(), 0x40u);
        size_t optional_header = Get32(image, 0x3C) + 24;
        ASSERT_EQ(image.at(optional_header) | image.at(optional_header + 1) << 8, expected_magic[index]);
        EXPECT_EQ(ReadFileVersion(image), kSamples[index].version);
    }
}

TEST(FileVersion, ImagesWithoutAVersionOfName1GiveNothing) {
    EXPECT_EQ(ReadFileVersion(Load(RVX_IMAGE_STRINGS_ONLY)), std::nullopt);
    EXPECT_EQ(ReadFileVersion(Load(RVX_IMAGE_NO_RESOURCES)), std::nullopt);
    // The system's version functions ask for name 1 only; another name is not a file version.
    Image named_2 = Load(RVX_IMAGE_VERSION_NAMED_2);
    FixedInfoAt(named_2);
    EXPECT_EQ(ReadFileVersion(named_2), std::nullopt);

    EXPECT_EQ(ReadFileVersion(Image{}), std::nullopt);
    EXPECT_EQ(ReadFileVersion(Image{'M', 'Z'}), std::nullopt);
    std::string text = "[Setup]\r\nName=not a program\r\n";
    EXPECT_EQ(ReadFileVersion(Image(text.begin(), text.end())), std::nullopt);
}

// Cutting an image short hides the version until every byte on the way to it is back, and
// never yields a wrong one.
TEST(FileVersion, CutOffImagesGiveNothingUntilTheVersionIsWhole) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.path);
        const Image image = Load(sample.path);
        const size_t version_end = FixedInfoAt(image) + 16;
        size_t first_readable = image.size() + 1;
        for (size_t length = 0; length <= image.size(); ++length) {
            auto version = ReadFileVersion(std::span(image.data(), length));
            if (length < first_readable) {
                if (version) {
                    first_readable = length;
                    EXPECT_EQ(*version, sample.version) << "cut at " << length;
                }
            } else {
                ASSERT_EQ(version, sample.version) << "cut at " << length << " after it was readable from "
                                                   << first_readable;
            }
        }
        EXPECT_GE(first_readable, version_end);
        EXPECT_LE(first_readable, image.size());
    }
}

TEST(FileVersion, DamagedVersionBlockGivesNothing) {
    const Image original = Load(RVX_IMAGE_VERSION_PE32);
    const size_t fixed = FixedInfoAt(original);
    const size_t block = fixed - 40;
    ASSERT_EQ(ReadFileVersion(original), Version(1, 2, 3, 4));
    {
        Image image = original;
        image.at(fixed) ^= 0x01;  // the signature
        EXPECT_EQ(ReadFileVersion(image), std::nullopt);
    }
    {
        Image image = original;
        image.at(block + 6 + 2 * 3) = 'v';  // the key "VS_VERSION_INFO" becomes "VS_vERSION_INFO"
        EXPECT_EQ(ReadFileVersion(image), std::nullopt);
    }
    {
        Image image = original;
        image.at(block + 2) = 0;  // a block that says it has no fixed information
        image.at(block + 3) = 0;
        EXPECT_EQ(ReadFileVersion(image), std::nullopt);
    }
    {
        Image image = original;
        image.at(block) = 0xFF;  // a block longer than the resource holding it
        image.at(block + 1) = 0xFF;
        EXPECT_EQ(ReadFileVersion(image), std::nullopt);
    }
}

// The resource tree is three levels deep; a tree whose directories all point back at the root
// must end the walk, not loop.
TEST(FileVersion, ResourceTreeThatPointsBackAtItselfGivesNothing) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.path);
        Image image = Load(sample.path);
        const size_t root = ResourceSectionAt(image);
        const size_t entries = (image.at(root + 12) | image.at(root + 13) << 8) + (image.at(root + 14) | image.at(root + 15) << 8);
        ASSERT_GE(entries, 1u);
        // Names 16 and 1 both lead back to the root, so every level finds its entry there.
        Put32(image, root + 16, 1);
        for (size_t entry = 0; entry < entries; ++entry) Put32(image, root + 16 + 8 * entry + 4, 0x80000000);
        Put32(image, root + 16 + 8 * (entries - 1), 16);
        EXPECT_EQ(ReadFileVersion(image), std::nullopt);
    }
}

// Damage leaves either the right version or none, unless it hits the version's own words:
// every byte changed alone, then random changes to the resources several at a time (with a
// fixed seed, so that a failure repeats).
TEST(FileVersion, DamagedImagesGiveTheVersionOrNothing) {
    std::mt19937 random(20240611);
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.path);
        const Image original = Load(sample.path);
        const size_t version_words = FixedInfoAt(original) + 8;
        auto in_version_words = [&](size_t at) { return at >= version_words && at < version_words + 8; };
        auto acceptable = [&](const Image& image) {
            auto version = ReadFileVersion(image);
            return !version || *version == sample.version;
        };

        for (size_t at = 0; at < original.size(); ++at) {
            if (in_version_words(at)) continue;
            for (uint8_t change : {0x01, 0x10, 0x80, 0xFF}) {
                Image image = original;
                image[at] ^= change;
                ASSERT_TRUE(acceptable(image)) << "byte " << at << " changed by " << int{change};
            }
        }

        const size_t resources = ResourceSectionAt(original);
        ASSERT_LT(resources, original.size());
        for (int round = 0; round < 3000; ++round) {
            Image image = original;
            bool hits_version = false;
            for (int count = 1 + static_cast<int>(random() % 4); count > 0; --count) {
                size_t at = resources + random() % (original.size() - resources);
                image[at] ^= static_cast<uint8_t>(1 + random() % 255);
                hits_version |= in_version_words(at);
            }
            if (hits_version) continue;
            ASSERT_TRUE(acceptable(image)) << "round " << round;
        }
    }
}

TEST(FileVersion, ReadsFilesOfTheMachine) {
    test_support::TempMachine temp;
    const Image library = Load(RVX_IMAGE_VERSION_PE32PLUS);
    temp.PutFile("C:\\WINDOWS\\SYSTEM\\tiny.dll", std::string(library.begin(), library.end()));
    temp.PutFile("C:\\WINDOWS\\SYSTEM\\readme.txt", "not a program");
    platform::Platform& platform = temp.Start("C:\\Setup\\Rovexa.exe", "");

    EXPECT_EQ(ReadFileVersion(platform.files, "c:\\windows\\system\\TINY.DLL"), Version(10, 0, 65535, 7));
    EXPECT_EQ(ReadFileVersion(platform.files, "C:\\WINDOWS\\SYSTEM\\readme.txt"), std::nullopt);
    EXPECT_EQ(ReadFileVersion(platform.files, "C:\\WINDOWS\\SYSTEM\\missing.dll"), std::nullopt);
    EXPECT_EQ(ReadFileVersion(platform.files, "C:\\WINDOWS\\SYSTEM"), std::nullopt);
}
