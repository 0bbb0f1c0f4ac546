// The script checker on short scripts, one kind of problem each, and on the demo's script, whose
// report must be clean.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "host/check_output.h"
#include "host/script_checker.h"

using rvx::host::CheckReport;
using rvx::host::CheckScript;
using rvx::host::Severity;

namespace {

namespace fs = std::filesystem;

// A medium folder with an Install.ini made of the required sections and the lines given.
class Medium {
public:
    Medium() : folder_(fs::temp_directory_path() / ("rvx-check-test-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(folder_);
    }
    ~Medium() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void Write(const std::string& name, const std::string& content) const {
        std::ofstream(folder_ / name, std::ios::binary) << content;
    }
    CheckReport Check(const std::string& body) const {
        Write("Install.ini", "[TITLE]\nProduct\n[DISKID]\nDisk %s\n[SIZE]\n100\n[DEFAULTDIR]\n%PROGFILES%\\Product\n"
                             "[INSTALLDIRTEXT]\nWhere?\n[UNINSTALLFILE]\nproduct.nvu\n[VERSION]\n1.0\n[NORVNO]\n101 PRO\n" +
                                 body + "[EOF]\nend\n");
        return CheckScript({(folder_ / "Install.ini").string(), folder_.string(), {}});
    }
    const fs::path& folder() const { return folder_; }

private:
    fs::path folder_;
};

// True when the report has a problem of this severity on this line whose message holds the words.
bool Has(const CheckReport& report, int line, Severity severity, const std::string& words) {
    for (const auto& problem : report.problems)
        if (problem.line == line && problem.severity == severity && problem.message.find(words) != std::string::npos) return true;
    return false;
}

std::string Listed(const CheckReport& report) { return rvx::host::ReportForPeople(report, false); }

}  // namespace

TEST(ScriptChecker, TheDemoScriptIsClean) {
    const CheckReport report = CheckScript({RVX_DEMO_MEDIUM "/Install.ini", RVX_DEMO_MEDIUM, {}});
    EXPECT_TRUE(report.problems.empty()) << Listed(report);
}

TEST(ScriptChecker, HeadersUnknownMisspelledAndOfOtherLanguages) {
    Medium medium;
    // Lines 17 on follow the 16 lines of required sections.
    const auto report = medium.Check("[FOO]\nx\n[TITEL.E]\ny\n[TITLE.D]\nTitel\n");
    EXPECT_TRUE(Has(report, 17, Severity::error, "unknown section header")) << Listed(report);
    EXPECT_TRUE(Has(report, 19, Severity::error, "in this reading's language")) << Listed(report);
    // Only the English reading meets the misspelling; a correct header of another language is fine.
    for (const auto& problem : report.problems) {
        if (problem.line == 19) {
            EXPECT_EQ(problem.readings.find("language F"), std::string::npos) << problem.readings;
        }
        EXPECT_NE(problem.line, 21) << problem.message;
    }
    EXPECT_TRUE(report.HasErrors());
}

TEST(ScriptChecker, MissingSectionsAreNamed) {
    Medium medium;
    medium.Write("Install.ini", "[TITLE]\nProduct\n[EOF]\n");
    const auto report = CheckScript({(medium.folder() / "Install.ini").string(), "", {}});
    for (const char* header : {"[SIZE]", "[DISKID]", "[DEFAULTDIR]", "[UNINSTALLFILE]", "[VERSION]"})
        EXPECT_TRUE(Has(report, 0, Severity::error, std::string("required section missing: ") + header)) << Listed(report);
    EXPECT_TRUE(Has(report, 0, Severity::error, "[INSTALLDIRTEXT]"));
    EXPECT_TRUE(Has(report, 0, Severity::error, "end marker"));
    EXPECT_TRUE(Has(report, 0, Severity::warning, "[NORVNO]"));
}

TEST(ScriptChecker, DirectivesMisusedAndUndeclaredVariants) {
    Medium medium;
    const auto report = medium.Check("#if LITE\n[COLORS]\n#endif\n#endif\n#else\n#if PRO\n#if PRO\n#endif\n#if PRO\n");
    EXPECT_TRUE(Has(report, 17, Severity::error, "no [NORVNO] line declares")) << Listed(report);
    EXPECT_TRUE(Has(report, 20, Severity::error, "\"#endif\" without an \"#if\""));
    EXPECT_TRUE(Has(report, 21, Severity::error, "\"#else\" without an \"#if\""));
    EXPECT_TRUE(Has(report, 23, Severity::warning, "do not nest"));
    EXPECT_TRUE(Has(report, 25, Severity::error, "without an \"#endif\""));
    EXPECT_FALSE(Has(report, 22, Severity::error, "declares")) << "PRO is declared";
}

TEST(ScriptChecker, UndefinedVariableWhereTheLineIsRead) {
    Medium medium;
    const auto report = medium.Check("[DEFAULTDIR]\n%NOWHERE%\\Product\n");
    EXPECT_TRUE(Has(report, 18, Severity::error, "undefined variable %NOWHERE%")) << Listed(report);
}

TEST(ScriptChecker, FilesMissingOfAnotherSizeAndInTheSystemFolder) {
    Medium medium;
    medium.Write("APP.EXE", "twelve bytes");
    medium.Write("SHARED.DLL", "dll");
    const auto report = medium.Check("[FILES]\nAPP.EXE,,,,12\nAPP.EXE,other.exe,,,13\nGONE.TXT,,,,5\n"
                                     "SHARED.DLL,%SYSTEM%,,,3\nSHARED.DLL,%SYSTEM%,U,,3\n");
    EXPECT_FALSE(Has(report, 18, Severity::error, "")) << Listed(report);
    EXPECT_TRUE(Has(report, 19, Severity::error, "gives 13 bytes")) << Listed(report);
    EXPECT_TRUE(Has(report, 20, Severity::error, "is not on the medium"));
    EXPECT_TRUE(Has(report, 21, Severity::warning, "system folder without the U or C flag"));
    EXPECT_FALSE(Has(report, 22, Severity::warning, "system folder"));
}

TEST(ScriptChecker, DiskMarkersNeedTheirMarkerFiles) {
    Medium medium;
    fs::create_directories(medium.folder() / "DISK1");
    fs::create_directories(medium.folder() / "DISK2");
    std::ofstream(medium.folder() / "DISK1" / "A.TXT") << "a";
    std::ofstream(medium.folder() / "DISK2" / "B.TXT") << "b";
    std::ofstream(medium.folder() / "DISK1" / "DISK1", std::ios::binary) << "Disk 1";
    std::ofstream(medium.folder() / "DISK1" / "Install.ini")
        << "[TITLE]\nP\n[DISKID]\nDisk %s\n[SIZE]\n2\n[DEFAULTDIR]\nC:\\P\n[INSTALLDIRTEXT]\nt\n[UNINSTALLFILE]\np.nvu\n"
           "[VERSION]\n1\n[FILES]\n#1\nA.TXT,,,,1\n#2\nB.TXT,,,,1\n[EOF]\nend\n";
    const auto report = CheckScript({(medium.folder() / "DISK1" / "Install.ini").string(), medium.folder().string(), {}});
    EXPECT_FALSE(Has(report, 16, Severity::error, "marker")) << Listed(report);
    EXPECT_TRUE(Has(report, 18, Severity::error, "has no marker file")) << Listed(report);
    EXPECT_FALSE(Has(report, 19, Severity::error, "not on the medium")) << Listed(report);
}

TEST(ScriptChecker, UnquotedUninstallCommandsAndDangerousPatterns) {
    Medium medium;
    const auto report = medium.Check(
        "[UNINSTALLSTRING]\nC:\\Program Files\\P\\Dismara.exe x\n[FORCEDELETE]\n*.*\n"
        "[REGISTRY]\nHKLM,Uninstall\\P,UninstallString,,\"%DSTPATH%\\Dismara.exe\" x\n"
        "HKLM,Uninstall\\P,UninstallString,,'\"%DSTPATH%\\Dismara.exe\" x'\n"
        "[STRINGS]\nMAKER=$HKLM,Software\\Nowhere,Name\n"
        "[REGISTRYUNINSTALL]\nHKLM,Software\\%MAKER%,,,\n"
        "[ICONS]\nViewer,%DSTPATH%viewer.exe\nGroup\\Viewer,%DSTPATH%viewer.exe\n");
    EXPECT_TRUE(Has(report, 0, Severity::warning, "[UNINSTALLSTRING] value does not quote")) << Listed(report);
    EXPECT_TRUE(Has(report, 20, Severity::error, "[FORCEDELETE]"));
    EXPECT_TRUE(Has(report, 22, Severity::warning, "UninstallString's program path is not quoted"));
    EXPECT_FALSE(Has(report, 23, Severity::warning, "not quoted")) << "single quotes keep the double quotes";
    EXPECT_TRUE(Has(report, 27, Severity::error, "empty part"));
    EXPECT_TRUE(Has(report, 29, Severity::warning, "directly in the Programs folder"));
    EXPECT_FALSE(Has(report, 30, Severity::warning, "Programs folder"));
}

TEST(ScriptChecker, MalformedLinesOfParsedSections) {
    Medium medium;
    const auto report = medium.Check(
        "[REGISTRY]\nHKLM,Software\\P\nHKEY_LOCAL_MACHINE,Software\\P,V,,1\nHKLM,Software\\P,V,hex,0A0B0C0D\n"
        "HKLM,Software\\P,V,hex,0a0b0c0d\n"
        "[CREATEFILES]\ndata.bin,,100,extra\n[STOPPROGRAM]\nClass,Title\n[ICONS]\nGroup\\Only\n");
    EXPECT_TRUE(Has(report, 18, Severity::error, "five fields")) << Listed(report);
    EXPECT_TRUE(Has(report, 19, Severity::error, "unknown root"));
    EXPECT_TRUE(Has(report, 20, Severity::error, "hexadecimal"));
    EXPECT_FALSE(Has(report, 21, Severity::error, ""));
    EXPECT_TRUE(Has(report, 23, Severity::error, "exactly three fields"));
    EXPECT_TRUE(Has(report, 25, Severity::error, "[STOPPROGRAM]"));
    EXPECT_TRUE(Has(report, 27, Severity::error, "a shortcut name and a target"));
}

TEST(ScriptChecker, VariablesAtTheirStage) {
    Medium medium;
    // A=%B% then B=1 works; C=1 then D=%C% leaves %C% in D (the earlier definition is not seen
    // again); %DSTPATH% is not known when the default folder is read.
    const auto report = medium.Check("[STRINGS]\nA=%B%\nB=1\nC=1\nD=%C%\n[REGISTRY]\nHKLM,S\\P,V,,%A%\n"
                                     "HKLM,S\\P,V,,%D%\n[DEFAULTDIR]\n%DSTPATH%\\Sub\n");
    EXPECT_FALSE(Has(report, 23, Severity::error, "undefined")) << Listed(report);
    EXPECT_TRUE(Has(report, 24, Severity::error, "undefined variable %C%")) << Listed(report);
    EXPECT_TRUE(Has(report, 0, Severity::error, "%DSTPATH%, which is not known"));
}

TEST(ScriptChecker, AScriptThatCannotBeReadIsSaidSo) {
    const auto report = CheckScript({"/nonexistent/Install.ini", "", {}});
    EXPECT_TRUE(report.unreadable);
    EXPECT_NE(rvx::host::ReportAsJson(report).find("\"unreadable\": true"), std::string::npos);
}
