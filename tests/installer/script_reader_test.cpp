// Reading the install script: locating it, cleaning lines, directives, headers and languages,
// every kind of storage, the end marker and the required-section check.
#include <gtest/gtest.h>

#include "installer/core/install_app.h"
#include "installer/script/script_reader.h"
#include "installer/script/section_catalogue.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::InstallApp;
using installer::ReadScript;

namespace {

// The sections every normal script needs, so that a test adds only what it is about.
const std::string kRequired =
    "[SIZE]\n1000\n[TITLE]\nDemo\n[DISKID]\nDisk %d\n[INSTALLDIRTEXT]\nWhere?\n[DEFAULTDIR]\nC:\\Demo\n"
    "[UNINSTALLFILE]\ndemo.nvu\n[VERSION]\n1.0.0\n";
const std::string kEnd = "[EOF]\nend\n";

struct Reader {
    explicit Reader(const std::string& script, const std::string& answers = "", const std::string& arguments = "") {
        if (!script.empty()) temp.PutFile("C:\\Setup\\Install.ini", script);
        platform = &temp.Start("C:\\Setup\\Rovexa.exe", arguments, answers, installer::kBuiltInStrings);
        app = std::make_unique<InstallApp>(*platform);
        EXPECT_TRUE(app->InitInstance());
        EXPECT_TRUE(app->ProcessCommandLine());
    }
    // Reads as the run sequence does: the flags the reading raised go to the run flags.
    bool Read() {
        const auto flags = ReadScript(*app).value();
        if (flags) installer::ApplyScriptFlags(app->flags(), *flags);
        return flags.has_value();
    }
    installer::ScriptSections& script() { return app->script(); }
    std::vector<std::string> Messages() const { return temp.JournalLines("MESSAGE"); }

    test_support::TempMachine temp;
    platform::Platform* platform = nullptr;
    std::unique_ptr<InstallApp> app;
};

}  // namespace

TEST(ScriptReader, FindsTheScriptBesideTheInstallerOrInItsThirtyTwoFolder) {
    {
        Reader run(kRequired + kEnd);
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.app->folders().script_path, "C:\\SETUP\\Install.ini");
        EXPECT_EQ(run.script().title, "Demo");
    }
    {
        Reader run("");
        run.temp.PutFile("C:\\Setup\\32\\Install.ini", kRequired + kEnd);
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.app->folders().source, "C:\\SETUP\\32\\");
        EXPECT_EQ(run.app->folders().script_path, "C:\\SETUP\\32\\Install.ini");
    }
    {
        Reader run("", "message ok ~ \"Debug messages\"\nmessage ok ~ \"No  .INI file.\"\n", "/DEBUG");
        EXPECT_FALSE(run.Read());
        EXPECT_NE(run.temp.ReadFile("C:\\install.log").find("C:\\SETUP\\32\\Install.ini :file not found\n"), std::string::npos);
    }
}

TEST(ScriptReader, CleansLinesOfCommentsSpacesAndNonBreakingSpaces) {
    EXPECT_EQ(installer::CleanLine("  value ; comment"), "value");
    EXPECT_EQ(installer::CleanLine("; whole line"), "");
    EXPECT_EQ(installer::CleanLine("\tkeeps tabs\t "), "\tkeeps tabs\t");
    Reader run(kRequired + "[PRODUCTNAME]\n  Norvane\xa0" "Demo\xa0  \n" + kEnd);
    ASSERT_TRUE(run.Read());
    EXPECT_EQ(run.script().product_name, "Norvane Demo");
}

TEST(ScriptReader, HeadersIgnoreCaseAndTakeTheLanguageSuffix) {
    {
        Reader run(kRequired + "[productname]\nplain\n[PRODUCTNAME.F]\nfrench\n[PRODUCTNAME.D]\ngerman\n" + kEnd);
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.script().product_name, "french");  // the built-in language is F
    }
    {
        Reader run(kRequired + "[PRODUCTNAME.e]\nenglish\n[PRODUCTNAME.F]\nfrench\n" + kEnd, "", "/E");
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.script().product_name, "english");
    }
    {
        Reader run(kRequired + "[TITEL.D]\nx\n" + kEnd, "message ok ~ \"INI File corrupted:\\nUnknow keyword:\\n[TITEL.D]\"\n", "/D");
        EXPECT_FALSE(run.Read());
    }
    {
        // Another language's unknown section is passed over silently, with its lines.
        Reader run(kRequired + "[TITEL.E]\n[EOF]\n" + "[PRODUCTNAME]\nkept\n" + kEnd, "", "/D");
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.script().product_name, "kept");
        EXPECT_TRUE(run.Messages().empty());
    }
    {
        Reader run(kRequired + "[FOO]\n[PRODUCTNAME]\nignored\n" + "[PRODUCTNAME]\nread\n" + kEnd,
                   "message ok ~ \"Unknown command [FOO]\"\n");
        ASSERT_TRUE(run.Read());
        EXPECT_NE(run.Messages().at(0).find("icon=stop"), std::string::npos);
        EXPECT_EQ(run.script().product_name, "read");
    }
}

TEST(ScriptReader, DirectivesDoNotNest) {
    const std::string variants = "[NORVNO]\n101 PRO\n102 LITE\n";
    {
        Reader run(kRequired + variants + "[PRODUCTNAME]\n#if PRO\nboth\n#else\nnever\n#endif\n" + kEnd);
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.script().product_name, "both");  // no active variant: every valid condition holds
    }
    {
        // An undeclared symbol: its block is skipped and the "#else" part is read.
        Reader run(kRequired + "[PRODUCTNAME]\n#if GOLD\nskipped\n#else\nelse part\n#endif\n" + kEnd,
                   "message cancel ~ \"Expression incorrecte:\\n#if GOLD\"\n");
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.script().product_name, "else part");
    }
    {
        // A header inside a skipped block is ignored; the first "#endif" ends every block.
        Reader run(kRequired + "[PRODUCTNAME]\n#if GOLD\n[TITLE]\n#if _WIN32\nskipped\n#endif\nafter\n" + kEnd,
                   "message ok\n");
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.script().product_name, "after");
        EXPECT_EQ(run.script().title, "Demo");
    }
    {
        // "#ifdef X" reads as "#if" with the expression X.
        Reader run(kRequired + variants + "[PRODUCTNAME]\n#IFDEF LITE\nlite\n#ENDIF\n" + kEnd);
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.script().product_name, "lite");
    }
}

TEST(ScriptReader, EndMarkerNeedsALineAfterIt) {
    {
        Reader run(kRequired + "[EOF]\n", "message ok ~ \"Fichier .INI corrompu:\\nSections manquantes:\\n[NORVNO]\\n[EOF]\\n\"\n");
        EXPECT_FALSE(run.Read());
    }
    {
        Reader run(kRequired + "[EOF]\n\nend\n[PRODUCTNAME]\nnever read\n");
        ASSERT_TRUE(run.Read());
        EXPECT_EQ(run.script().product_name, "");
    }
}

TEST(ScriptReader, RequiredSectionsInNormalAndPatchMode) {
    {
        Reader run("[EOF]\nx\n", "message ok ~ \"Sections manquantes:\\n[SIZE]\\n[TITLE]\\n[DISKID]\\n[DBOX]\\n[DEFAULTDIR]\\n"
                                 "[NORVNO]\\n[UNINSTALLFILE]\\n[VERSION]\\n\"\n");
        EXPECT_FALSE(run.Read());
    }
    {
        // A title of the other network form still counts; a dropped default folder does not.
        Reader run("[SIZE]\n1\n[TITLENET]\nt\n[DISKID]\nd\n[SUCCESSTEXT]\ns\n[DEFAULTDIRNET]\nC:\\X\n[UNINSTALLFILE]\nu\n"
                   "[VERSION]\n1\n" + kEnd,
                   "message ok ~ \"Sections manquantes:\\n[DEFAULTDIR]\\n[NORVNO]\\n\"\n");
        EXPECT_FALSE(run.Read());
    }
    {
        // An update script needs only title, disk, version and the end; the variants are listed.
        Reader run("[PATCH]\n1.0.0\n[TITLE]\nt\n[DISKID]\nd\n[VERSION]\n1.0.1\n" + kEnd);
        ASSERT_TRUE(run.Read());
        EXPECT_TRUE(run.app->flags().patch);
        EXPECT_EQ(run.script().required_version, "1.0.0");
    }
    {
        // A [PATCH] line of exactly 100 characters names no version: normal rules apply.
        Reader run("[PATCH]\n" + std::string(100, 'x') + "\n[TITLE]\nt\n[DISKID]\nd\n[VERSION]\n1\n" + kEnd,
                   "message ok ~ \"[SIZE]\"\n");
        EXPECT_FALSE(run.Read());
        EXPECT_EQ(run.script().required_version, "");
    }
}

TEST(ScriptReader, ValuesListsTextsAndNumbers) {
    Reader run(kRequired +
               "[VERSION]\n2.0.0\n3.0.0\n"
               "[WWWLINK]\nfirst\nsecond\n[WWWLINK]\nthird\n"
               "[WARNDIRCOND]\n%DSTPATH%,C:\\,==\nnot a condition\n"
               "[WWWINFOTEXT]\na\n\nb\n"
               "[UNINSTALLMESSAGE]\nline 1\nline 2\n"
               "[DIRECTXASK]\nq\n\n"
               "[INITTEXT]\nHello\n\nWorld\n"
               "[DELETE]\n*.tmp\n\nold.exe\n"
               "[SIZE]\n-250 bytes\n[SIZE]\nnone\n"
               "[COLORS]\n10, 20 ,30\n"
               "[NORVNO]\n101 PRO\n102 LITE\nSOLO\n"
               "[KESTRAUPDATE]\nDemo\n"
               "[NETINSTALL]\nignored\n[TITLE]\nplain title\n[TITLENET]\nnetwork title\n"
               "[STRINGS]\nA=plain\n[STRINGSNET]\nB=net\n" +
               kEnd);
    ASSERT_TRUE(run.Read());
    const auto& s = run.script();
    EXPECT_EQ(s.version, "3.0.0");
    EXPECT_EQ(s.web_link, "first");
    EXPECT_EQ(s.warn_dir_condition, "%DSTPATH%,C:\\,==");
    EXPECT_EQ(s.web_info_text, "a\n\nb");
    EXPECT_EQ(s.uninstall_message, "line 1\nline 2\n");
    EXPECT_EQ(s.directx_question, "q\n\n");
    EXPECT_EQ(s.init_text, (installer::TextList{"Hello", "", "World"}));
    EXPECT_EQ(s.delete_files, (installer::TextList{"*.tmp", "old.exe"}));
    EXPECT_EQ(s.size, -250);
    EXPECT_EQ(run.app->colours().red, 10);
    EXPECT_EQ(run.app->colours().green, 20);
    EXPECT_EQ(run.app->colours().blue, 30);
    EXPECT_EQ(s.variant_symbols, "|101|PRO||102|LITE||SOLO|");
    EXPECT_EQ(s.variant_number, 102);
    EXPECT_TRUE(run.app->flags().publisher_update);
    EXPECT_TRUE(run.app->flags().network_install);
    EXPECT_EQ(s.title, "network title");
    EXPECT_EQ(s.user_variables.lines(), (installer::TextList{"B=net"}));  // after [NETINSTALL] only the network form counts
}

TEST(ScriptReader, FlagSectionsSetTheirFlagAndIgnoreTheirLines) {
    Reader run(kRequired + "[ADMIN]\n[PRODUCTNAME]\nname\n[NTONLY]\nignored\n[RESTART]\n[NOWIN95]\n[INSTALLOVER]\n"
                           "[NOSEARCHPREVIOUS]\n[DESKTOPICONON]\n[ALLOWVERSIONUPDATE]\n[NOVERSIONIDEM]\nignored too\n" + kEnd);
    ASSERT_TRUE(run.Read());
    const auto& flags = run.app->flags();
    EXPECT_TRUE(flags.administrator_rights && flags.nt_only && flags.restart && flags.no_windows_95 && flags.install_over &&
                flags.no_search && flags.desktop_shortcut_on && flags.allow_version_update && flags.no_same_version_question);
    EXPECT_EQ(run.script().product_name, "name");
}

TEST(ScriptReader, TheReadingReturnsItsFlagsAndTheRunSequenceRaisesThem) {
    Reader run(kRequired + "[RESTART]\n[PATCH]\n1.0\n[KESTRAUPDATE]\nDemo\n" + kEnd);
    const auto read = ReadScript(*run.app).value();
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->restart && read->patch && read->publisher_update);
    EXPECT_FALSE(read->network_install || read->administrator_rights);
    // The reading itself leaves the run flags alone; applying raises only what it read.
    EXPECT_FALSE(run.app->flags().restart || run.app->flags().patch || run.app->flags().publisher_update);
    run.app->flags().install_over = true;
    installer::ApplyScriptFlags(run.app->flags(), *read);
    EXPECT_TRUE(run.app->flags().restart && run.app->flags().patch && run.app->flags().publisher_update);
    EXPECT_TRUE(run.app->flags().install_over);  // not raised, not cleared
    EXPECT_FALSE(run.app->flags().network_install);
}

TEST(ScriptReader, WildcardFileLinesBecomeOneLinePerFileWithItsSize) {
    Reader run(kRequired + "[FILES]\nsamples\\*.txt,%EXEMPLEPATH%\\,L,,0\nprogram.exe,%DSTPATH%\\,,,\n" + kEnd);
    run.temp.PutFile("C:\\Setup\\samples\\b.txt", "12345");
    run.temp.PutFile("C:\\Setup\\samples\\a.TXT", "1");
    run.temp.PutFile("C:\\Setup\\samples\\.hidden.txt", "x");
    run.temp.PutFile("C:\\Setup\\samples\\folder.txt\\inside", "x");
    ASSERT_TRUE(run.Read());
    EXPECT_EQ(run.script().files, (installer::TextList{"samples\\a.TXT,%EXEMPLEPATH%\\,L,,1",
                                                       "samples\\b.txt,%EXEMPLEPATH%\\,L,,5", "program.exe,%DSTPATH%\\,,,"}));
}

TEST(ScriptReader, EveryReadingStartsAfresh) {
    Reader run(kRequired + "[FILES]\na\n[WWWLINK]\nx\n[NORVNO]\n1 A\n[PRODUCTNAME]\np\n" + kEnd);
    ASSERT_TRUE(run.Read());
    ASSERT_TRUE(run.Read());
    EXPECT_EQ(run.script().files.size(), 1u);
    EXPECT_EQ(run.script().web_link, "x");
    EXPECT_EQ(run.script().variant_symbols, "|1|A|");
}

TEST(ScriptReader, LongAndBinaryLinesNeverCrashOrSplit) {
    const std::string long_name(5000, 'n');
    std::string binary = "[PRODUCTNAME]\n";
    binary += std::string("\0\x01\xff[\x7f", 5) + "\n";
    Reader run(kRequired + "[FILES]\n" + long_name + ",%DSTPATH%\\,,,\n" + binary + kEnd);
    ASSERT_TRUE(run.Read());
    ASSERT_EQ(run.script().files.size(), 1u);
    EXPECT_EQ(run.script().files[0].size(), long_name.size() + 14);
}

TEST(SectionCatalogue, EveryHeaderIsKnownOnceExceptTheSharedInfoText) {
    EXPECT_EQ(installer::kCatalogueSize, 83u);  // 82 headers and the end row
    EXPECT_EQ(installer::kCatalogue[installer::kCatalogueSize - 1].header, "[]");
    for (size_t i = 0; i + 1 < installer::kCatalogueSize; ++i) {
        const auto& row = installer::kCatalogue[i];
        EXPECT_EQ(installer::MatchHeader(row.header, 'F'), row.code) << row.header;
    }
    EXPECT_EQ(installer::HeaderOf(installer::Section::web_info_text), "[WWWINFOTEXT]");
    EXPECT_FALSE(installer::MatchHeader("[]", 'F'));
    EXPECT_FALSE(installer::MatchHeader("[TITLE.E]", 'F'));
}
