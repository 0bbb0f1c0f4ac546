// The installer's field splitter: quoting, trimming, empty fields and the end of the text.
#include "common/text/field_splitter.h"

#include <gtest/gtest.h>

using rvx::text::SplitFields;
using Fields = std::vector<std::string>;

TEST(FieldSplitter, SplitsAtAnyDelimiterAndTrimsBlanksAndTabs) {
    EXPECT_EQ(SplitFields("HKLM, Software\\X ,\tName\t", ","), (Fields{"HKLM", "Software\\X", "Name"}));
    EXPECT_EQ(SplitFields("a=b,c", ",="), (Fields{"a", "b", "c"}));
    EXPECT_EQ(SplitFields("/E  /DEBUG", " "), (Fields{"/E", "", "/DEBUG"}));
}

TEST(FieldSplitter, EmptyFieldsAndTheEndOfTheText) {
    EXPECT_EQ(SplitFields("a,,b", ","), (Fields{"a", "", "b"}));
    EXPECT_EQ(SplitFields(",a", ","), (Fields{"", "a"}));
    // A delimiter at the very end gives no further field.
    EXPECT_EQ(SplitFields("a,b,", ","), (Fields{"a", "b"}));
    EXPECT_EQ(SplitFields(",", ","), (Fields{""}));
    EXPECT_TRUE(SplitFields("", ",").empty());
    EXPECT_EQ(SplitFields("   ", ","), (Fields{""}));
}

TEST(FieldSplitter, DoubleQuotesKeepDelimitersAndAreRemoved) {
    EXPECT_EQ(SplitFields("\"C:\\Program Files\\X\" /E", " "), (Fields{"C:\\Program Files\\X", "/E"}));
    EXPECT_EQ(SplitFields("name=\"a=b\"", "="), (Fields{"name", "a=b"}));
    // Blanks inside the quotes survive the trimming, which happens before the quotes go.
    EXPECT_EQ(SplitFields("x, \" padded \" ,y", ","), (Fields{"x", " padded ", "y"}));
    // Every double quote of such a field goes, also ones outside the quoted run.
    EXPECT_EQ(SplitFields("a\"b,c\"d\"e", ","), (Fields{"ab,cde"}));
}

TEST(FieldSplitter, SingleQuotesWorkLikeDoubleOnesWhenNoDoubleQuoteWasSeen) {
    EXPECT_EQ(SplitFields("'a,b',c", ","), (Fields{"a,b", "c"}));
    // After a double-quoted run only double quotes are removed.
    EXPECT_EQ(SplitFields("\"it's\",x", ","), (Fields{"it's", "x"}));
    // A single quote inside double quotes does not start a run of its own.
    EXPECT_EQ(SplitFields("\"a'b\",'c'", ","), (Fields{"a'b", "c"}));
}

TEST(FieldSplitter, AnUnclosedQuoteRunsToTheEnd) {
    EXPECT_EQ(SplitFields("a,\"b,c", ","), (Fields{"a", "b,c"}));
    EXPECT_EQ(SplitFields("'x,y", ","), (Fields{"x,y"}));
}
