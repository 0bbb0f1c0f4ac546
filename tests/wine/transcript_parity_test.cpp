// The parity check of the GUI tests: what the two editions may differ in passes, anything else
// is reported, and an unreadable line stops the check with its place.
#include <gtest/gtest.h>

#include "tests/support/transcript_parity.h"

namespace {

using rvx::parity::CompareInteractions;
using rvx::parity::ReadInteractions;

std::vector<std::string> Differences(std::string_view host, std::string_view windows) {
    auto host_lines = ReadInteractions(host, "host");
    auto windows_lines = ReadInteractions(windows, "windows");
    EXPECT_TRUE(host_lines && windows_lines);
    if (!host_lines || !windows_lines) return {"unreadable"};
    return CompareInteractions(host_lines.value(), windows_lines.value());
}

TEST(TranscriptParity, TheSystemsOwnDifferencesPassAndOtherLinesAreIgnored) {
    const auto differences = Differences(
        "START command=x\r\nPAGE id=109 caption=\"T\" t105=\"Intro\" -> button=1 e101=\"Jane\"\r\n"
        "MESSAGE caption=\"C\" text=\"Quit ?\" buttons=yes_no icon=question default=2 answer=no\r\n"
        "BROWSE title=\"Pick\" initial=\"C:\\\\\" answer=\"C:\\\\A\"\r\nEXIT code=0\r\n",
        "PAGE id=109 caption=\"T\" t105=\"Intro\" t-1=\"&Name:\" -> button=1 e101=\"Jane\"\n"
        "MESSAGE caption=\"C\" text=\"Quit ?\" buttons=yes_no icon=warning default=2 answer=no\n"
        "BROWSE title=\"Pick\" answer=\"C:\\\\A\"\n");
    EXPECT_TRUE(differences.empty()) << differences.front();
}

TEST(TranscriptParity, TextsAnswersAndMissingInteractionsAreReported) {
    auto differences = Differences("PAGE id=128 t105=\"Done\" -> button=1\n", "PAGE id=128 t105=\"Dome\" -> button=1\n");
    ASSERT_FALSE(differences.empty());
    EXPECT_NE(differences.front().find("t105=Done on the host, t105=Dome on Windows"), std::string::npos) << differences.front();

    differences = Differences("PAGE id=128 -> button=1\n", "PAGE id=128 -> button=2\n");
    ASSERT_FALSE(differences.empty());
    EXPECT_NE(differences.front().find("the answers differ"), std::string::npos);

    differences = Differences("PAGE id=128 x1009=\"1\" -> button=1\n", "PAGE id=128 -> button=1\n");
    ASSERT_FALSE(differences.empty());
    EXPECT_NE(differences.front().find("x1009 is missing on Windows"), std::string::npos);

    differences = Differences("MESSAGE text=\"a\" answer=ok\n", "MESSAGE text=\"a\" extra=1 answer=ok\n");
    EXPECT_FALSE(differences.empty()) << "a message box may not gain fields";

    differences = Differences("PAGE id=1 -> button=1\nPAGE id=2 -> button=1\n", "PAGE id=1 -> button=1\n");
    ASSERT_FALSE(differences.empty());
    EXPECT_NE(differences.front().find("the host had 2 interactions, Windows 1"), std::string::npos);
    EXPECT_NE(differences.back().find("host only:    PAGE id=2"), std::string::npos);
}

TEST(TranscriptParity, AnUnreadableLineNamesItsFileAndLine) {
    auto read = ReadInteractions("PAGE id=1 -> button=1\nPAGE t105=\"never closed\n", "journal.log");
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().detail.find("journal.log:2"), std::string::npos) << read.error().detail;
}

}  // namespace
