// The uninstaller's own text parsers: the field splitter for registry lines and warning
// conditions, and the wildcard matcher for leftover-file patterns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstaller/field_splitter.h"
#include "uninstaller/wildcard_match.h"

using rvx::uninstaller::MatchWildcard;
using rvx::uninstaller::SplitUninstallFields;
using Fields = std::vector<std::string>;

TEST(SplitUninstallFields, KeepsQuotedCommasAndStripsOnlyTheEndQuotes) {
    EXPECT_EQ(SplitUninstallFields("HKLM,\"Software\\A,B\",Name"), (Fields{"HKLM", "Software\\A,B", "Name"}));
    // Quotes inside a field stay; every quote at either end goes.
    EXPECT_EQ(SplitUninstallFields("\"say \"\"hi\"\" now\""), (Fields{"say \"\"hi\"\" now"}));
    EXPECT_EQ(SplitUninstallFields("a\"b\"c,d"), (Fields{"a\"b\"c", "d"}));
    EXPECT_EQ(SplitUninstallFields("\"\"\"x\"\"\",y"), (Fields{"x", "y"}));
    EXPECT_EQ(SplitUninstallFields("\"\"\"\""), (Fields{""}));
    // Single quotes mean nothing: the comma between them splits.
    EXPECT_EQ(SplitUninstallFields("'a,b'"), (Fields{"'a", "b'"}));
    // A quote left open runs to the end of the text.
    EXPECT_EQ(SplitUninstallFields("k,\"open, still"), (Fields{"k", "open, still"}));
}

TEST(SplitUninstallFields, TrimsBlanksButNotTabs) {
    EXPECT_EQ(SplitUninstallFields("  HKLM ,  Key  "), (Fields{"HKLM", "Key"}));
    EXPECT_EQ(SplitUninstallFields("\tHKLM\t, Key\t"), (Fields{"\tHKLM\t", "Key\t"}));
    // Blanks are trimmed before the quotes are removed, so blanks inside the quotes stay.
    EXPECT_EQ(SplitUninstallFields("  \" padded \"  "), (Fields{" padded "}));
}

TEST(SplitUninstallFields, EmptyFieldsAndTheEnds) {
    EXPECT_TRUE(SplitUninstallFields("").empty());
    EXPECT_EQ(SplitUninstallFields("a,,b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(SplitUninstallFields("a,b,"), (Fields{"a", "b"}));
    EXPECT_EQ(SplitUninstallFields(",a"), (Fields{"", "a"}));
    EXPECT_EQ(SplitUninstallFields(","), (Fields{""}));
    EXPECT_EQ(SplitUninstallFields("   "), (Fields{""}));
    EXPECT_EQ(SplitUninstallFields("a,,"), (Fields{"a", ""}));
}

TEST(MatchWildcard, StarAndQuestionMark) {
    EXPECT_TRUE(MatchWildcard("*", ""));
    EXPECT_TRUE(MatchWildcard("*", "C:\\ANY\\THING"));
    EXPECT_TRUE(MatchWildcard("*.TMP", "C:\\PROG\\A.TMP"));
    EXPECT_FALSE(MatchWildcard("*.TMP", "C:\\PROG\\A.TMPX"));
    EXPECT_TRUE(MatchWildcard("A*B*C", "AXXBYYBZC"));
    EXPECT_FALSE(MatchWildcard("A*B*C", "AXXBYYBZ"));
    EXPECT_TRUE(MatchWildcard("A?C", "ABC"));
    EXPECT_FALSE(MatchWildcard("A?C", "AC"));
    EXPECT_FALSE(MatchWildcard("A?C", "ABBC"));
    EXPECT_TRUE(MatchWildcard("??", "AB"));
    EXPECT_FALSE(MatchWildcard("?", ""));
    // A trailing star also takes an empty rest.
    EXPECT_TRUE(MatchWildcard("C:\\PROG\\*", "C:\\PROG\\"));
    EXPECT_TRUE(MatchWildcard("A**", "A"));
    EXPECT_TRUE(MatchWildcard("", ""));
    EXPECT_FALSE(MatchWildcard("", "A"));
}

TEST(MatchWildcard, MatchesTheWholeTextWithBackslashAsItself) {
    EXPECT_TRUE(MatchWildcard("C:\\PROG\\*.TMP", "C:\\PROG\\A.TMP"));
    EXPECT_TRUE(MatchWildcard("C:\\PROG\\A.TMP", "C:\\PROG\\A.TMP"));
    EXPECT_FALSE(MatchWildcard("C:\\PROG\\*.TMP", "C:\\OTHER\\A.TMP"));
    // "\" outside brackets escapes nothing.
    EXPECT_FALSE(MatchWildcard("C:\\*", "C:*"));
    EXPECT_TRUE(MatchWildcard("\\?", "\\X"));
    // A plain name does not match a full path; only a leading star reaches into it.
    EXPECT_FALSE(MatchWildcard("A.TMP", "C:\\PROG\\A.TMP"));
    EXPECT_TRUE(MatchWildcard("*A.TMP", "C:\\PROG\\A.TMP"));
    EXPECT_FALSE(MatchWildcard("C:\\PROG", "C:\\PROG\\A.TMP"));
    // Letters are compared exactly; the caller upper-cases both texts.
    EXPECT_FALSE(MatchWildcard("A.TMP", "a.tmp"));
}

TEST(MatchWildcard, BracketSets) {
    EXPECT_TRUE(MatchWildcard("[ABC].TXT", "B.TXT"));
    EXPECT_FALSE(MatchWildcard("[ABC].TXT", "D.TXT"));
    EXPECT_FALSE(MatchWildcard("[ABC].TXT", "AB.TXT"));
    // Negation with either mark.
    EXPECT_TRUE(MatchWildcard("[!ABC]", "D"));
    EXPECT_FALSE(MatchWildcard("[!ABC]", "A"));
    EXPECT_TRUE(MatchWildcard("[^ABC]", "D"));
    EXPECT_FALSE(MatchWildcard("[^ABC]", "C"));
    EXPECT_FALSE(MatchWildcard("[!ABC]", ""));
    // Ranges in either order.
    for (const char* pattern : {"FILE[0-9].LOG", "FILE[9-0].LOG"}) {
        EXPECT_TRUE(MatchWildcard(pattern, "FILE0.LOG")) << pattern;
        EXPECT_TRUE(MatchWildcard(pattern, "FILE5.LOG")) << pattern;
        EXPECT_TRUE(MatchWildcard(pattern, "FILE9.LOG")) << pattern;
        EXPECT_FALSE(MatchWildcard(pattern, "FILEA.LOG")) << pattern;
    }
    EXPECT_TRUE(MatchWildcard("[A-CX-Z]", "Y"));
    EXPECT_FALSE(MatchWildcard("[A-CX-Z]", "M"));
    EXPECT_FALSE(MatchWildcard("[!Z-A]", "Q"));
    EXPECT_TRUE(MatchWildcard("[!Z-A]", "1"));
    // A "-" first or last in the set is itself.
    EXPECT_TRUE(MatchWildcard("[-A]", "-"));
    EXPECT_TRUE(MatchWildcard("[A-]", "-"));
    EXPECT_FALSE(MatchWildcard("[A-]", "B"));
    EXPECT_TRUE(MatchWildcard("[!-]", "B"));
    EXPECT_FALSE(MatchWildcard("[!-]", "-"));
    // A set inside a longer pattern with stars around it.
    EXPECT_TRUE(MatchWildcard("*\\[AB]*.DLL", "C:\\SYS\\BOOT.DLL"));
    EXPECT_FALSE(MatchWildcard("*\\[AB]*.DLL", "C:\\SYS\\COOT.DLL"));
}

TEST(MatchWildcard, BackslashInsideBracketsTakesTheNextCharacter) {
    EXPECT_TRUE(MatchWildcard("[\\]]", "]"));
    EXPECT_TRUE(MatchWildcard("[\\\\]", "\\"));
    EXPECT_FALSE(MatchWildcard("[\\]]", "\\"));
    EXPECT_TRUE(MatchWildcard("[A\\-C]", "-"));
    EXPECT_FALSE(MatchWildcard("[A\\-C]", "B"));
    EXPECT_TRUE(MatchWildcard("[\\!A]", "!"));
    EXPECT_TRUE(MatchWildcard("C:\\DIR[\\\\]X", "C:\\DIR\\X"));
}

TEST(MatchWildcard, EmptyOrUnclosedSetsMatchNothing) {
    for (const char* text : {"", "A", "[]", "[", "]", "[AB", "AB"}) {
        EXPECT_FALSE(MatchWildcard("[]", text)) << text;
        EXPECT_FALSE(MatchWildcard("[!]", text)) << text;
        EXPECT_FALSE(MatchWildcard("[AB", text)) << text;
        EXPECT_FALSE(MatchWildcard("*[AB", text)) << text;
        EXPECT_FALSE(MatchWildcard("[A\\]", text)) << text;
        EXPECT_FALSE(MatchWildcard("[A-", text)) << text;
    }
    EXPECT_FALSE(MatchWildcard("*[]*", "ANYTHING"));
    EXPECT_FALSE(MatchWildcard("X[", "X["));
}

TEST(MatchWildcard, ManyStarsAgainstALongTextStillAnswer) {
    const std::string text(5000, 'a');
    EXPECT_FALSE(MatchWildcard("*a*a*a*a*a*a*a*b", text));
    EXPECT_TRUE(MatchWildcard("*a*a*a*a*a*a*a*a", text));
    EXPECT_FALSE(MatchWildcard("*?*?*?*?*?*?*?*[b]", text));
    EXPECT_TRUE(MatchWildcard("*a*a*a*a*a*a*a*b", text + "b"));
}
