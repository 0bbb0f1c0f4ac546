// Conditions of the install script: "#if" lines against the declared variants, and comparisons.
#include <gtest/gtest.h>

#include "installer/core/install_app.h"
#include "installer/script/conditions.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::EvaluateComparison;
using installer::EvaluateVariantCondition;
using installer::InstallApp;
using test_support::TempMachine;

namespace {

struct Installer {
    explicit Installer(const std::string& answers = "") {
        platform = &temp.Start("D:\\Rovexa.exe", "", answers, installer::kBuiltInStrings);
        app = std::make_unique<InstallApp>(*platform);
        app->script().variant_symbols = "|101|BASIC||102|PRO|";
    }
    TempMachine temp;
    platform::Platform* platform = nullptr;
    std::unique_ptr<InstallApp> app;
};

}  // namespace

TEST(VariantCondition, LinesWithoutAnExpressionOrForWin32Hold) {
    Installer run;  // no answer: a message box would fail the test
    run.app->script().active_variant_name = "PRO";
    run.app->script().active_variant_number = "|102|";
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if"));
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#ifX"));
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if _WIN32"));
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if _WIN32_WINNT|ANY"));
    EXPECT_TRUE(run.temp.JournalLines("MESSAGE").empty());
}

TEST(VariantCondition, DeclaredSymbolsMatchTheActiveVariantByNameOrNumber) {
    Installer run;
    // No variant active yet: every declared expression holds.
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if PRO|102"));
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if BASIC"));

    run.app->script().active_variant_name = "PRO";
    run.app->script().active_variant_number = "|102|";
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if BASIC|PRO"));
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if 102"));
    EXPECT_FALSE(EvaluateVariantCondition(*run.app, "#if BASIC|101"));

    // A number without a name: the empty name is looked for as "||".
    run.app->script().active_variant_name = "";
    EXPECT_FALSE(EvaluateVariantCondition(*run.app, "#if BASIC"));
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if BASIC|"));
    // The empty piece after the last bar names no symbol, even when no "||" is declared.
    run.app->script().variant_symbols = "|101|BASIC|";
    EXPECT_TRUE(EvaluateVariantCondition(*run.app, "#if BASIC|"));
    EXPECT_TRUE(run.temp.JournalLines("MESSAGE").empty());
}

TEST(VariantCondition, UndeclaredSymbolsAreReportedAndFail) {
    Installer run("message ok\nmessage cancel\nmessage ok\n");
    EXPECT_FALSE(EvaluateVariantCondition(*run.app, "#if ULTRA"));
    EXPECT_FALSE(EvaluateVariantCondition(*run.app, "#if PRO|ultra"));
    // Symbols are case-sensitive and not trimmed: a second space makes " PRO".
    EXPECT_FALSE(EvaluateVariantCondition(*run.app, "#if  PRO"));
    auto messages = run.temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_NE(messages[0].find("text=\"Expression incorrecte:\\n#if ULTRA\" buttons=ok_cancel icon=warning"),
              std::string::npos)
        << messages[0];
    EXPECT_NE(messages[2].find("\\n#if  PRO\""), std::string::npos) << messages[2];
}

TEST(Comparison, ExpandedFieldsCompareIgnoringCase) {
    Installer run("message ok\n");
    run.app->script().user_variables = {"X=ABC"};
    EXPECT_TRUE(EvaluateComparison(*run.app, "%X%,abc,==").value());
    EXPECT_FALSE(EvaluateComparison(*run.app, "%X%,abc,!=").value());
    EXPECT_TRUE(EvaluateComparison(*run.app, " %X% , abd , != ").value());
    EXPECT_FALSE(EvaluateComparison(*run.app, "%X%,xyz,<>").value());
    EXPECT_FALSE(EvaluateComparison(*run.app, "%X%,abc,=").value());
    EXPECT_FALSE(EvaluateComparison(*run.app, "%X%,abc").value());
    EXPECT_FALSE(EvaluateComparison(*run.app, "").value());
    EXPECT_EQ(EvaluateComparison(*run.app, "%Y%,abc,==").stop().variable, "%Y%");
}
