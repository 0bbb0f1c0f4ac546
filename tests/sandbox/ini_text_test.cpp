// .ini files as the system's profile functions write them: the text edit on its own, and
// WriteIniValue on the simulated machine's files with their rules.
#include "platform/sandbox/ini_text.h"

#include <gtest/gtest.h>

#include "tests/support/temp_machine.h"

using namespace rvx::platform;
using rvx::sandbox::IniSectionEntries;
using rvx::sandbox::SetIniValue;
using rvx::test_support::TempMachine;

TEST(IniText, ReplacesAddsAndCreatesIgnoringCaseAndKeepsTheRest) {
    EXPECT_EQ(SetIniValue("", "Rename", "NUL", "C:\\x.tmp"), "[Rename]\r\nNUL=C:\\x.tmp\r\n");

    const std::string text = "; settings\r\n[General]\r\n Name = Old \r\nMode=1\r\n\r\n[Other]\r\nName=other\r\n";
    // The key keeps its spelling; the section after it is untouched.
    EXPECT_EQ(SetIniValue(text, "general", "NAME", "New"),
              "; settings\r\n[General]\r\nName=New\r\nMode=1\r\n\r\n[Other]\r\nName=other\r\n");
    // A new key goes after the section's last line, before the blank line that ends it.
    EXPECT_EQ(SetIniValue(text, " GENERAL ", "Extra", "yes"),
              "; settings\r\n[General]\r\n Name = Old \r\nMode=1\r\nExtra=yes\r\n\r\n[Other]\r\nName=other\r\n");
    EXPECT_EQ(SetIniValue(text, "Other", "New", "v"), text + "New=v\r\n");
    EXPECT_EQ(SetIniValue(text, "Third", "k", "v"), text + "[Third]\r\nk=v\r\n");

    // A file with plain line ends keeps them; one without a final line end gets one.
    EXPECT_EQ(SetIniValue("[a]\nk=1\n[b]\nk=2", "B", "K", "3"), "[a]\nk=1\n[b]\nk=3\n");
    EXPECT_EQ(SetIniValue("[a]\nk=1", "c", "k", "1"), "[a]\nk=1\n[c]\nk=1\n");
    // Of two equal sections and keys, the first counts.
    EXPECT_EQ(SetIniValue("[s]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n", "s", "k", "9"), "[s]\r\nk=9\r\nK=2\r\n[S]\r\nk=3\r\n");
}

TEST(IniText, SectionEntriesKeepFileOrderAndRepeatedKeys) {
    const std::string text = "[Other]\nNUL=no\n[rename]\nNUL=C:\\a\n  C:\\b = C:\\c  \nnot a pair\nnul=C:\\d\n[Next]\nNUL=no\n";
    auto entries = IniSectionEntries(text, "Rename");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].key, "NUL");
    EXPECT_EQ(entries[0].value, "C:\\a");
    EXPECT_EQ(entries[1].key, "C:\\b");
    EXPECT_EQ(entries[1].value, "C:\\c");
    EXPECT_EQ(entries[2].key, "nul");
    EXPECT_TRUE(IniSectionEntries(text, "Missing").empty());
    // Setting a value and reading the section back agree.
    auto after = IniSectionEntries(SetIniValue(text, "RENAME", "c:\\B", "C:\\e"), "rename");
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[1].value, "C:\\e");
}

TEST(WriteIniValue, WritesThroughTheMachinesFileRules) {
    rvx::sandbox::MachineConfig config = rvx::sandbox::MachineConfig::Default();
    config.files_in_use = {"C:\\WINDOWS\\busy.ini"};
    config.denied_paths = {"C:\\Locked"};
    TempMachine temp(config);
    temp.PutFile("C:\\WINDOWS\\busy.ini", "[a]\r\n");
    temp.PutFile("C:\\Locked\\app.ini", "[a]\r\n");
    FileSystem& files = temp.Start("C:\\Rovexa.exe", "").files;

    // A bare name lies in the Windows folder.
    ASSERT_TRUE(files.WriteIniValue("demo.ini", "Options", "Sound", "on"));
    ASSERT_TRUE(files.WriteIniValue("C:\\WINDOWS\\DEMO.INI", "options", "Sound", "off"));
    ASSERT_TRUE(files.WriteIniValue("demo.ini", "Paths", "Home", "C:\\Demo"));
    EXPECT_EQ(temp.ReadFile("C:\\WINDOWS\\demo.ini"), "[Options]\r\nSound=off\r\n[Paths]\r\nHome=C:\\Demo\r\n");
    EXPECT_EQ(files.ReadAttributes("C:\\WINDOWS\\demo.ini").value_or(0), attributes::archive);

    EXPECT_EQ(files.WriteIniValue("C:\\WINDOWS\\busy.ini", "a", "k", "v").status(), Status::sharing_violation);
    EXPECT_EQ(files.WriteIniValue("C:\\Locked\\app.ini", "a", "k", "v").status(), Status::access_denied);
    EXPECT_EQ(files.WriteIniValue("C:\\Nowhere\\app.ini", "a", "k", "v").status(), Status::path_not_found);
    EXPECT_EQ(temp.ReadFile("C:\\WINDOWS\\busy.ini"), "[a]\r\n");
    EXPECT_EQ(temp.ReadFile("C:\\Locked\\app.ini"), "[a]\r\n");
}
