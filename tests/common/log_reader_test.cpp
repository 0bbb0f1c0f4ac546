// Reading an uninstall log back into lines: the line ends of text mode, lines of any length, a
// last line without a line end, NUL bytes, and whole logs read from a simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/uninstall_log/log_reader.h"
#include "common/uninstall_log/uninstall_log.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using platform::Status;
using test_support::TempMachine;
using uninstall_log::ReadLogLines;
using uninstall_log::SplitLogLines;
using Lines = std::vector<std::string>;

TEST(SplitLogLines, RemovesOnlyARealLineEnd) {
    EXPECT_EQ(SplitLogLines(".DC:\\a.txt\r\n.RDemo\r\n"), (Lines{".DC:\\a.txt", ".RDemo"}));
    EXPECT_EQ(SplitLogLines(".DC:\\a.txt\n.RDemo\n"), (Lines{".DC:\\a.txt", ".RDemo"}));
    EXPECT_EQ(SplitLogLines("one\r\ntwo\nthree\r\n"), (Lines{"one", "two", "three"}));
    // A last line without its line end keeps its last character.
    EXPECT_EQ(SplitLogLines(".RDemo\r\n.ZC:\\Prog\\"), (Lines{".RDemo", ".ZC:\\Prog\\"}));
    EXPECT_EQ(SplitLogLines("x"), (Lines{"x"}));
    // A CR that does not come just before the LF belongs to the line.
    EXPECT_EQ(SplitLogLines("a\rb\r\n"), (Lines{"a\rb"}));
    EXPECT_EQ(SplitLogLines("a\r\r\n"), (Lines{"a\r"}));
    EXPECT_EQ(SplitLogLines("tail\r"), (Lines{"tail\r"}));
    EXPECT_EQ(SplitLogLines("\r"), (Lines{"\r"}));
}

TEST(SplitLogLines, KeepsEmptyLinesButAddsNoneAtTheEnd) {
    EXPECT_TRUE(SplitLogLines("").empty());
    EXPECT_EQ(SplitLogLines("\n"), (Lines{""}));
    EXPECT_EQ(SplitLogLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitLogLines("a\n\nb"), (Lines{"a", "", "b"}));
}

TEST(SplitLogLines, ANulEndsTheTextOfItsLineOnly) {
    using namespace std::string_literals;
    EXPECT_EQ(SplitLogLines(".RDe\0mo\r\n.Gsvc\r\n"s), (Lines{".RDe", ".Gsvc"}));
    EXPECT_EQ(SplitLogLines("\0abc\nnext"s), (Lines{"", "next"}));
    EXPECT_EQ(SplitLogLines("last\0\r"s), (Lines{"last"}));
}

TEST(SplitLogLines, KeepsLongLinesWhole) {
    const std::string long_line = ".X" + std::string(10000, 'k');
    EXPECT_EQ(SplitLogLines(long_line + "\r\n.RDemo\r\n"), (Lines{long_line, ".RDemo"}));
    EXPECT_EQ(SplitLogLines(".RDemo\r\n" + long_line), (Lines{".RDemo", long_line}));
}

namespace {

struct Machine {
    Machine() : files(temp.Start("C:\\Prog\\Dismara.exe", "").files) { temp.PutFile("C:\\Prog\\readme.txt", ""); }
    TempMachine temp;
    platform::FileSystem& files;
};

}  // namespace

TEST(ReadLogLines, ReadsBackWhatTheInstallerWrote) {
    Machine machine;
    const std::string long_key = "HKEY_LOCAL_MACHINE,\"Software\\" + std::string(10000, 'k') + "\"";
    {
        uninstall_log::UninstallLog log(machine.files);
        log.Open("App.nvu", "C:\\Prog\\");
        log.RecordProduct("Demo");
        log.RecordRegistryKey(long_key);
        log.RecordWarning("C:\\Prog\\a.dll", "first\nsecond");
        log.AddFolderToRemove("C:\\Prog\\");
        log.Close();
    }
    const auto lines = ReadLogLines(machine.files, "C:\\Prog\\App.nvu");
    ASSERT_TRUE(lines.ok()) << lines.error().Describe();
    EXPECT_EQ(lines.value(), (Lines{".DC:\\Prog\\App.nvu", ".RDemo", ".X" + long_key, ".CC:\\Prog\\a.dll",
                                    ".Mfirst", "second", ".ZC:\\Prog\\"}));
}

TEST(ReadLogLines, ReadsAFileLongerThanOneChunk) {
    Machine machine;
    // The CR LF of the first line falls across the boundary of the first 64 KiB read.
    const std::string first(64 * 1024 - 1, 'a');
    const std::string second(70000, 'b');
    machine.temp.PutFile("C:\\Prog\\Big.nvu", first + "\r\n" + second + "\r\nend");
    const auto lines = ReadLogLines(machine.files, "C:\\Prog\\Big.nvu");
    ASSERT_TRUE(lines.ok()) << lines.error().Describe();
    EXPECT_EQ(lines.value(), (Lines{first, second, "end"}));
}

TEST(ReadLogLines, AnEmptyLogGivesNoLines) {
    Machine machine;
    machine.temp.PutFile("C:\\Prog\\Empty.nvu", "");
    const auto lines = ReadLogLines(machine.files, "C:\\Prog\\Empty.nvu");
    ASSERT_TRUE(lines.ok()) << lines.error().Describe();
    EXPECT_TRUE(lines.value().empty());
}

TEST(ReadLogLines, FailsForAnEmptyPathOrAMissingLog) {
    Machine machine;
    EXPECT_EQ(ReadLogLines(machine.files, "").status(), Status::invalid_argument);
    const auto missing = ReadLogLines(machine.files, "C:\\Prog\\Missing.nvu");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status(), Status::not_found);
    EXPECT_FALSE(ReadLogLines(machine.files, "C:\\NoSuchFolder\\App.nvu").ok());
}
