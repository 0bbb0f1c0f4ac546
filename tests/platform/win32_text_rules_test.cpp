// The Windows programs' text rules, tested on the host: where the arguments of a command line
// start, and which paths a library may be loaded from.
#include "platform/win32/win32_text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using rvx::win32::ArgumentsAfterProgramName;
using rvx::win32::IsAbsoluteWindowsPath;

TEST(Win32TextRules, ArgumentsFollowTheProgramNameQuotedOrNot) {
    EXPECT_EQ(ArgumentsAfterProgramName("D:\\Rovexa.exe /E /DEBUG"), "/E /DEBUG");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\My Setup\\Rovexa.exe\"  /E \"D:\\a b.ANS\""), "/E \"D:\\a b.ANS\"");
    EXPECT_EQ(ArgumentsAfterProgramName("  Rovexa.exe"), "");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\unclosed /E"), "");
    EXPECT_EQ(ArgumentsAfterProgramName(""), "");
}

// An uninstall entry's command line as the system passes it: an unquoted program path with
// blanks still ends where the system's process start finds the program.
TEST(Win32TextRules, UnquotedProgramPathsEndWhereTheSystemFindsTheProgram) {
    std::vector<std::string> asked;
    auto files = [&asked](const std::string& path) {
        asked.push_back(path);
        return path == "C:\\Program Files\\Demo\\Dismara.exe" || path == "C:\\Tools\\un install.exe";
    };
    EXPECT_EQ(ArgumentsAfterProgramName("C:\\Program Files\\Demo\\Dismara.exe C:\\Program Files\\Demo\\demo.nvu", files),
              "C:\\Program Files\\Demo\\demo.nvu");
    // The shorter names are tried first, with ".exe" added when they have no extension.
    EXPECT_EQ(asked.front(), "C:\\Program.exe");
    // Without an extension the program is found with ".exe", as the system finds it.
    EXPECT_EQ(ArgumentsAfterProgramName("C:\\Tools\\un install  a b", files), "a b");
    // A quoted program ends at its quote, the arguments stay as they stand.
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Program Files\\Demo\\Dismara.exe\" C:\\x y.nvu", files), "C:\\x y.nvu");
    // Nothing names a file: the first blank ends the name.
    EXPECT_EQ(ArgumentsAfterProgramName("D:\\Setup\\Rovexa.exe /E", files), "/E");
    EXPECT_EQ(ArgumentsAfterProgramName("C:\\Program Files\\Demo\\Dismara.exe", files), "");
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
