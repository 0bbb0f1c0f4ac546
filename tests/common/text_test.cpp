// Path helpers and message formatting.
#include <gtest/gtest.h>

#include "common/text/path_helpers.h"
#include "common/text/text.h"

namespace path = rvx::path;
namespace text = rvx::text;

TEST(PathHelpers, TrailingBackslash) {
    EXPECT_EQ(path::AddTrailingBackslash("C:\\X"), "C:\\X\\");
    EXPECT_EQ(path::AddTrailingBackslash("C:\\X\\"), "C:\\X\\");
    EXPECT_EQ(path::AddTrailingBackslash(""), "\\");
    EXPECT_EQ(path::RemoveTrailingBackslash("C:\\X\\"), "C:\\X");
    EXPECT_EQ(path::RemoveTrailingBackslash("C:\\X\\\\"), "C:\\X\\");  // only one
    EXPECT_EQ(path::RemoveTrailingBackslash(""), "");
}

TEST(PathHelpers, TrimAndJoinUseExactlyOneBackslash) {
    EXPECT_EQ(path::TrimBackslashes("\\a\\b\\"), "a\\b");
    EXPECT_EQ(path::TrimBackslashes("\\\\a\\\\"), "\\a\\");  // one of each end
    EXPECT_EQ(path::Join("C:\\Prog\\", "\\Sub\\"), "C:\\Prog\\Sub");
    EXPECT_EQ(path::Join("C:\\", "file.txt"), "C:\\file.txt");
    EXPECT_EQ(path::Join("C:\\Prog", "file.txt"), "C:\\Prog\\file.txt");
}

TEST(PathHelpers, FolderAndName) {
    EXPECT_EQ(path::FolderOf("D:\\SETUP\\ROVEXA.EXE"), "D:\\SETUP\\");
    EXPECT_EQ(path::NameOf("D:\\SETUP\\ROVEXA.EXE"), "ROVEXA.EXE");
    EXPECT_EQ(path::FolderOf("ROVEXA.EXE"), "");
    EXPECT_EQ(path::NameOf("ROVEXA.EXE"), "ROVEXA.EXE");
}

TEST(Formatting, NumberedInsertionLeavesOtherPercentSignsAlone) {
    EXPECT_EQ(text::InsertArguments("Version %1 then %2, %1 again", {"3.0", "4.0"}), "Version 3.0 then 4.0, 3.0 again");
    EXPECT_EQ(text::InsertArguments("missing %2 and 100%", {"x"}), "missing  and 100%");
}

TEST(Formatting, PrintfStyleTakesOnlyTextsAndNumbers) {
    EXPECT_EQ(text::FormatMessage("Can't open answerfile\n%s", {"D:\\a.ANS"}), "Can't open answerfile\nD:\\a.ANS");
    EXPECT_EQ(text::FormatMessage("%d files, %s, 100%%", {12, "done"}), "12 files, done, 100%");
    // A placeholder without an argument stays as it is rather than reading garbage.
    EXPECT_EQ(text::FormatMessage("%s and %s", {"one"}), "one and %s");
}

TEST(Text, CaseInsensitiveOperationsTouchOnlyAsciiLetters) {
    EXPECT_TRUE(text::EqualsIgnoreCase("Install.INI", "install.ini"));
    EXPECT_FALSE(text::EqualsIgnoreCase("\xe9", "\xc9"));
    EXPECT_EQ(text::ToUpper("d:\\setup\\\xe9"), "D:\\SETUP\\\xe9");
    EXPECT_EQ(text::FindIgnoreCase("abc/debug", "/DEBUG"), 3u);
}

TEST(Text, DecimalPrefixReadsLikeAtoi) {
    EXPECT_EQ(text::ParseDecimalPrefix(" 42abc"), 42);
    EXPECT_EQ(text::ParseDecimalPrefix("-7"), -7);
    EXPECT_EQ(text::ParseDecimalPrefix("x1"), 0);
    EXPECT_GT(text::ParseDecimalPrefix("99999999999999999999999999"), 0);  // no overflow into negatives
}

TEST(Text, EscapeRoundTripsEveryByte) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    std::string escaped = text::Escape(all);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);
    std::string back;
    ASSERT_TRUE(text::Unescape(escaped, back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(text::Unescape("bad\\q", back));
    EXPECT_FALSE(text::Unescape("cut\\x4", back));
    EXPECT_FALSE(text::Unescape("end\\", back));
}
