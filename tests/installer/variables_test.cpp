// Variables of the install script: expansion order and modes, user variables, the
// undefined-variable stop, registry values and [READREGISTRY], and the display-text helpers.
#include <gtest/gtest.h>

#include "installer/core/install_app.h"
#include "installer/script/variables.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::Expanded;
using installer::InstallApp;
using platform::RegValue;
using platform::RootKey;
using test_support::TempMachine;

namespace {

struct Installer {
    explicit Installer(const std::string& answers = "") {
        platform = &temp.Start("D:\\Rovexa.exe", "", answers, installer::kBuiltInStrings);
        app = std::make_unique<InstallApp>(*platform);
        auto& folders = app->folders();
        folders.program_files = "C:\\Program Files";
        folders.windows_drive = "C:";
        folders.source = "D:\\";
        folders.documents = "C:\\Docs\\";
    }
    void Strings(std::initializer_list<std::string> lines) { app->script().user_variables = lines; }
    void WriteText(std::string_view key, std::string_view name, std::string_view value) {
        ASSERT_TRUE(platform->registry.WriteValue(RootKey::local_machine, key, name, RegValue::Text(value)));
    }
    // The variable a fatal stop named, or "no stop".
    std::string StopOf(std::string_view text) {
        const installer::Expansion expanded = Expanded(*app, text);
        return expanded.stopped() ? expanded.stop().variable : "no stop";
    }
    TempMachine temp;
    platform::Platform* platform = nullptr;
    std::unique_ptr<InstallApp> app;
};

}  // namespace

TEST(Expand, PathVariablesEndInExactlyOneBackslash) {
    Installer run;
    for (const char* folder : {"C:\\App", "C:\\App\\"}) {
        run.app->folders().installation = folder;
        EXPECT_EQ(*Expanded(*run.app, "%DSTPATH%bin"), "C:\\App\\bin") << folder;
        EXPECT_EQ(*Expanded(*run.app, "%DSTPATH%\\bin"), "C:\\App\\bin") << folder;
        EXPECT_EQ(*Expanded(*run.app, "x=%DSTPATH%"), "x=C:\\App\\") << folder;
    }
    EXPECT_EQ(*Expanded(*run.app, "%PROGFILES%\\A;%ROOTDRIVE%;%SRCPATH%s"), "C:\\Program Files\\A;C:\\;D:\\s");
    run.app->script().examples_subfolder = "Samples";
    EXPECT_EQ(*Expanded(*run.app, "%WRKPATH%|%EXEMPLEPATH%"), "C:\\Docs\\|C:\\Docs\\Samples\\");
    run.app->folders().documents = "C:\\Docs";  // nothing is put between the two
    EXPECT_EQ(*Expanded(*run.app, "%EXEMPLEPATH%"), "C:\\DocsSamples\\");
    EXPECT_EQ(*Expanded(*run.app, "%SYSTEM%a %WINDOWS%\\b %FONTDIR%"),
              "C:\\WINDOWS\\system32\\a C:\\WINDOWS\\b C:\\WINDOWS\\Fonts\\");
}

TEST(Expand, PlainVariablesAreTakenAsTheyStand) {
    Installer run;
    run.app->user() = {"Jane", "ACME\\"};
    run.app->script().version = "2.1";
    EXPECT_EQ(*Expanded(*run.app, "%USER1%/%USER2%/%VERSION%/%COMFILESPATH%x"),
              "Jane/ACME\\/2.1/C:\\Program Files\\Common Filesx");
    // Names match exactly: other spellings are left alone.
    EXPECT_EQ(*Expanded(*run.app, "%user1%x %Version%x"), "%user1%x %Version%x");
}

TEST(Expand, EmptyInstallationFolderLeavesItsReferenceAndDoesNotStop) {
    Installer run;  // no answer: any message box would fail the test
    EXPECT_EQ(*Expanded(*run.app, "%DSTPATH%\\bin,%PROGFILES%"), "%DSTPATH%\\bin,C:\\Program Files\\");
    EXPECT_TRUE(run.temp.JournalLines("MESSAGE").empty());
}

TEST(UserVariables, ListOrderDecidesWhatAValueMayUse) {
    Installer run("message ok\n");
    run.Strings({"A=%B%", "B=1", "T = %PROGFILES%Tool", "W=%WINDOWS%"});
    EXPECT_EQ(*Expanded(*run.app, "%A%-%T%-%W%"), "1-C:\\Program Files\\Tool-C:\\WINDOWS\\");
    run.Strings({"B=1", "A=%B%"});
    EXPECT_EQ(run.StopOf("%A%"), "%B%");
}

TEST(UserVariables, FirstDefinitionWinsAndMalformedLinesAreSkipped) {
    Installer run("message ok\nmessage ok\nmessage ok\n");
    run.Strings({"N=first", "N=second", "Q=\"a=b\"", "U=a=b", "no equals sign", "\t\"P\" \t= quoted name",
                 "=no name", "E="});
    // Lines are split at every "=": quotes neither protect a "=" nor leave the name.
    EXPECT_EQ(*Expanded(*run.app, "%N% %\"P\"% %%"), "first quoted name no name");
    EXPECT_EQ(run.StopOf("%Q%"), "%Q%");
    EXPECT_EQ(run.StopOf("%U%"), "%U%");
    EXPECT_EQ(run.StopOf("%E%"), "%E%");
}

TEST(UserVariables, DollarValuesAreReadFromTheRegistry) {
    Installer run;
    run.WriteText("Software\\X", "Name", "C:\\Data");
    run.Strings({"R=$HKLM,Software\\X,Name", "M=$HKLM,Software\\X,Other", "K=$HKLM,Software\\Nowhere,Name",
                 "L=$hklm,Software\\X,Name"});
    EXPECT_EQ(*Expanded(*run.app, "[%R%][%M%][%K%][%L%]"), "[C:\\Data][][][]");
}

TEST(UndefinedCheck, OnlyTheFirstCandidateIsExamined) {
    Installer run("message ok\nmessage ok\nmessage ok\nmessage ok\n");
    EXPECT_EQ(run.StopOf("50% done"), "no stop");
    EXPECT_EQ(run.StopOf("%dstpath%\\x"), "no stop");
    EXPECT_EQ(run.StopOf("%DSTPATH% then %FOO%"), "no stop");
    EXPECT_EQ(run.StopOf("done 100%"), "%");
    EXPECT_EQ(run.StopOf("a%%b %X%"), "%%");
    EXPECT_EQ(run.StopOf("x %Ab% %ABC"), "%ABC");
    EXPECT_EQ(run.StopOf("%FOO% %DSTPATH%"), "%FOO%");
    auto messages = run.temp.JournalLines("MESSAGE");
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_NE(messages[3].find("text=\"Fatal error: undefined variable\\n%FOO%\" buttons=ok icon=stop"),
              std::string::npos)
        << messages[3];
}

TEST(Registry, RootKeyAndValueNamesAreReadAsText) {
    Installer run;
    auto& registry = run.platform->registry;
    ASSERT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Y", "Number", RegValue::Dword(0x4241)));
    ASSERT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Y", "Zero", RegValue::Dword(0)));
    ASSERT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Y", "Path",
                                    RegValue::Text("%WINDIR%\\x", platform::value_type::expand_string)));
    ASSERT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Y", "Empty", RegValue::Text("")));
    ASSERT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Y", "Blob",
                                    RegValue::Binary(std::vector<uint8_t>(600, 'x'))));
    auto read = [&](std::string_view where) {
        return installer::ReadRegistrySpecification(registry, where).value_or("<failed>");
    };
    EXPECT_EQ(read(" HKCU , Software\\Y , Path "), "%WINDIR%\\x");
    EXPECT_EQ(read("HKCU,Software\\Y,Number"), "AB");
    EXPECT_EQ(read("HKCU,Software\\Y,Zero"), "");
    EXPECT_EQ(read("HKCU,Software\\Y,Blob"), std::string(500, 'x'));
    EXPECT_EQ(read("HKCU,Software\\Y,Empty"), "");
    EXPECT_EQ(read("HKCU,Software\\Y,Missing"), "<failed>");
    EXPECT_EQ(read("HKCU,Software\\Z,Path"), "<failed>");
    EXPECT_EQ(read("HKCU,Software\\Y"), "<failed>");
    EXPECT_EQ(read("HKEY_CURRENT_USER,Software\\Y,Path"), "<failed>");
}

TEST(ReadRegistry, ValueOrDefaultBecomesAUserVariable) {
    Installer run;
    run.WriteText("Software\\Demo", "Path", "C:\\Found");
    run.Strings({"KEY=Software\\Demo"});
    run.app->script().read_registry = {"FOUND=HKLM,%KEY%,Path", "\"C:\\Default\"", "never shown",
                                       "DEFAULTED=HKLM,%KEY%,Missing", "\"%PROGFILES%Demo\"", "never shown"};
    ASSERT_FALSE(installer::ResolveReadRegistry(*run.app).stopped());
    EXPECT_EQ(*Expanded(*run.app, "%FOUND%;%DEFAULTED%"), "C:\\Found;C:\\Program Files\\Demo");
    EXPECT_EQ(run.app->script().pending_start_error, "");
}

TEST(ReadRegistry, MissingValueWithoutDefaultSetsThePendingStartError) {
    for (const char* empty_default : {"", "\"\""}) {
        Installer run;
        run.app->script().read_registry = {"GONE=HKLM,Software\\None,Path", empty_default, "Please install Demo first"};
        ASSERT_FALSE(installer::ResolveReadRegistry(*run.app).stopped());
        EXPECT_EQ(run.app->script().pending_start_error, "Please install Demo first") << empty_default;
        EXPECT_EQ(*Expanded(*run.app, "[%GONE%]"), "[]") << empty_default;
    }
}

TEST(NamedValues, LookUpByTheNameBetweenPercentSigns) {
    const installer::TextList list{"INSTALLDIR = \"HKLM,Software\\A,Dir\"", "INSTALLDIR=second", "OTHER=x"};
    EXPECT_EQ(installer::LookUpNamedValue(list, "%INSTALLDIR%"), "HKLM,Software\\A,Dir");
    EXPECT_EQ(installer::LookUpNamedValue(list, "%OTHER%"), "x");
    EXPECT_EQ(installer::LookUpNamedValue(list, "%installdir%"), "");
    EXPECT_EQ(installer::LookUpNamedValue(list, "INSTALLDIR"), "");
}

TEST(DisplayText, VersionAndPatchAreReplacedWithoutTheirClosingPercent) {
    Installer run;
    run.app->script().version = "2.1";
    run.app->script().required_version = "2.0";
    EXPECT_EQ(installer::SubstituteDisplayText(run.app->script(), "Demo %VERSION% (needs %PATCH) %VERSION"),
              "Demo 2.1% (needs 2.0) 2.1");
    EXPECT_EQ(installer::ConvertLineBreaks("one\\ntwo\\n\\\\n"), "one\ntwo\n\\\n");
}

TEST(DisplayText, ShownTextsAreExpandedThenGetTheirMarkersEvenAtTheEnd) {
    Installer run("message ok\nmessage ok\n");
    run.app->script().version = "2.1";
    run.app->script().required_version = "2.0";
    run.app->user().name = "Jane";
    // A title ending in the marker is what a script author writes: it is no undefined variable.
    EXPECT_EQ(*installer::ExpandedDisplayText(*run.app, "Demo %VERSION"), "Demo 2.1");
    EXPECT_EQ(*installer::ExpandedDisplayText(*run.app, "%USER1%, update %PATCH"), "Jane, update 2.0");
    EXPECT_EQ(*installer::ExpandedDisplayText(*run.app, "%VERSION% and %VERSION"), "2.1 and 2.1");
    // Script lines keep the strict check, and a real undefined variable still stops a shown text.
    EXPECT_EQ(run.StopOf("Demo %VERSION"), "%VERSION");
    EXPECT_EQ(installer::ExpandedDisplayText(*run.app, "%FOO% %VERSION").stop().variable, "%FOO%");
}
