// The script's lines read a block at a time: lines that cross the blocks, line ends, the last
// line, and reads that fail; and the reader over a script larger than one block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "installer/core/install_app.h"
#include "installer/script/script_lines.h"
#include "installer/script/script_reader.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::ScriptLines;

namespace {

// Hands out its bytes a few at a time, as a slow or network file may, and can fail at one read.
class TrickleFile : public platform::File {
public:
    TrickleFile(std::string bytes, size_t piece, int failing_read = -1)
        : bytes_(std::move(bytes)), piece_(piece), failing_read_(failing_read) {}
    platform::Result<size_t> Read(void* buffer, size_t size) override {
        if (reads_++ == failing_read_) return platform::Fail(platform::Status::io_error, "the medium went away");
        const size_t take = std::min({size, piece_, bytes_.size() - at_});
        std::memcpy(buffer, bytes_.data() + at_, take);
        at_ += take;
        return take;
    }
    platform::Outcome Write(const void*, size_t) override { return platform::Fail(platform::Status::access_denied, "read only"); }
    platform::Result<uint64_t> Seek(int64_t, platform::SeekFrom) override { return platform::Fail(platform::Status::io_error, "no seek"); }
    platform::Result<uint64_t> Size() override { return bytes_.size(); }
    platform::Result<platform::FileTimes> Times() override { return platform::FileTimes{}; }
    platform::Outcome SetTimes(const platform::FileTimes&) override { return {}; }

private:
    std::string bytes_;
    size_t piece_;
    int failing_read_;
    int reads_ = 0;
    size_t at_ = 0;
};

std::vector<std::string> AllLines(std::string bytes, size_t piece) {
    ScriptLines lines(std::make_unique<TrickleFile>(std::move(bytes), piece));
    EXPECT_TRUE(lines.Start());
    std::vector<std::string> out;
    std::string_view line;
    for (;;) {
        auto more = lines.Next(line);
        EXPECT_TRUE(more.ok());
        if (!more.ok() || !more.value()) break;
        out.emplace_back(line);
    }
    return out;
}

}  // namespace

TEST(ScriptLines, LinesComeWholeWhateverTheBlocksAndLineEnds) {
    const std::string long_line(200000, 'x');
    const std::string bytes = "first\r\n\nsecond\r\r\n" + long_line + "\nlast without a line end";
    const std::vector<std::string> expected = {"first", "", "second\r", long_line, "last without a line end"};
    for (size_t piece : {size_t{1}, size_t{7}, size_t{65536}, bytes.size()}) EXPECT_EQ(AllLines(bytes, piece), expected) << piece;

    // A final line end ends the last line and starts none; an empty file has no line.
    EXPECT_EQ(AllLines("a\n", 3), (std::vector<std::string>{"a"}));
    EXPECT_EQ(AllLines("a\n\n", 3), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(AllLines("\r\n", 3), (std::vector<std::string>{""}));
    EXPECT_TRUE(AllLines("", 3).empty());
}

TEST(ScriptLines, AFailedReadIsReportedNotTakenForTheEnd) {
    {
        ScriptLines lines(std::make_unique<TrickleFile>("a\nb\n", 4, 0));
        EXPECT_FALSE(lines.Start());
    }
    ScriptLines lines(std::make_unique<TrickleFile>("one\ntwo\nthree\n", 5, 1));
    ASSERT_TRUE(lines.Start());
    std::string_view line;
    auto more = lines.Next(line);
    ASSERT_TRUE(more.ok() && more.value());
    EXPECT_EQ(line, "one");
    // "t" of the second line was read; the rest of it cannot be, so no half line is handed out.
    more = lines.Next(line);
    ASSERT_FALSE(more.ok());
    EXPECT_EQ(more.status(), platform::Status::io_error);
}

TEST(ScriptReader, AScriptOfManyBlocksIsReadLineByLine) {
    test_support::TempMachine temp;
    std::string script =
        "[SIZE]\n1000\n[TITLE]\nDemo\n[DISKID]\nDisk %d\n[INSTALLDIRTEXT]\nWhere?\n[DEFAULTDIR]\nC:\\Demo\n"
        "[UNINSTALLFILE]\ndemo.nvu\n[VERSION]\n1.0.0\n[FILES]\n";
    constexpr int kFiles = 20000;  // about 600 KB: ten blocks, headers and lines crossing them
    for (int i = 0; i < kFiles; ++i) {
        script += "bin\\file" + std::to_string(i) + ".dll,%DSTPATH%,,,1 ; comment\r\n";
        if (i % 997 == 0) script += "[PRODUCTNAME]\nName " + std::to_string(i) + "\n[FILES]\n";
    }
    script += "[EOF]\nend\n";
    temp.PutFile("C:\\Setup\\Install.ini", script);
    platform::Platform& platform = temp.Start("C:\\Setup\\Rovexa.exe", "", "", installer::kBuiltInStrings);
    installer::InstallApp app(platform);
    ASSERT_TRUE(app.ProcessCommandLine());
    const auto read = installer::ReadScript(app);
    ASSERT_FALSE(read.stopped());
    ASSERT_TRUE(read->has_value());
    ASSERT_EQ(app.script().files.size(), size_t{kFiles});
    for (int i : {0, 1, 2184, kFiles - 1}) EXPECT_EQ(app.script().files[i], "bin\\file" + std::to_string(i) + ".dll,%DSTPATH%,,,1");
    EXPECT_EQ(app.script().product_name, "Name " + std::to_string((kFiles - 1) / 997 * 997));
}
