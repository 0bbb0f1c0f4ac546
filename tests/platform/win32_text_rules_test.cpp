// The Windows programs' text rules, tested on the host: where the arguments of a command line
// start, and which paths a library may be loaded from.
#include "platform/win32/win32_text_rules.h"

#include <gtest/gtest.h>

using rvx::win32::ArgumentsAfterProgramName;
using rvx::win32::IsAbsoluteWindowsPath;

TEST(Win32TextRules, ArgumentsFollowTheProgramNameQuotedOrNot) {
    EXPECT_EQ(ArgumentsAfterProgramName("D:\\Rovexa.exe /E /DEBUG"), "/E /DEBUG");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\My Setup\\Rovexa.exe\"  /E \"D:\\a b.ANS\""), "/E \"D:\\a b.ANS\"");
    EXPECT_EQ(ArgumentsAfterProgramName("  Rovexa.exe"), "");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\unclosed /E"), "");
    EXPECT_EQ(ArgumentsAfterProgramName(""), "");
}

TEST(Win32TextRules, LibrariesOnlyFromFullPaths) {
    EXPECT_TRUE(IsAbsoluteWindowsPath("C:\\Setup\\rovexeng.dll"));
    EXPECT_TRUE(IsAbsoluteWindowsPath("d:/setup/rovexeng.dll"));
    EXPECT_TRUE(IsAbsoluteWindowsPath("\\\\server\\share\\rovexeng.dll"));
    EXPECT_FALSE(IsAbsoluteWindowsPath("rovexeng.dll"));
    EXPECT_FALSE(IsAbsoluteWindowsPath("C:rovexeng.dll"));  // relative to the drive's current folder
    EXPECT_FALSE(IsAbsoluteWindowsPath("\\rovexeng.dll"));   // relative to the current drive
    EXPECT_FALSE(IsAbsoluteWindowsPath("\\\\\\x"));
    EXPECT_FALSE(IsAbsoluteWindowsPath(""));
}
