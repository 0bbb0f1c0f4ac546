// End to end: an attended installation of the demo from its medium (build/demo-medium, which
// carries the language libraries) in German and in English, on the simulated machine; the
// transcript shows each page and message in the library's texts. And a damaged library is
// passed over like a missing one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;

namespace {

// Through every page of the demo: the licence, the personal data, the folder (once Cancel,
// answered No), the documents folder, the success and final pages.
std::string Answers(const std::string& quit_question) {
    return "page 127 134\n"
           "page 109 next 101=\"Jane Doe\" 102=\"Example Ltd\"\n"
           "page 104 cancel\n"
           "message no ~ \"" + quit_question + "\"\n"
           "page 104 next\n"
           "page 126 next\n"
           "page 128 ok\n"
           "page 129 ok\n";
}

struct DemoRun {
    DemoRun() : base(rvx::test_support::MakeTempFolder("rvx-language")), medium(RVX_DEMO_MEDIUM) {}
    ~DemoRun() { fs::remove_all(base); }

    int Install(const std::string& answers, const std::string& arguments) {
        std::ofstream(base / "answers.txt", std::ios::binary) << answers;
        const std::string command = "'" ROVEXA_HOST_BINARY "' --machine '" + (base / "machine").string() + "' --medium '" + medium +
                                    "' --ui 'script:" + (base / "answers.txt").string() + "' -- " + arguments + " >'" +
                                    (base / "out.txt").string() + "' 2>&1";
        return std::system(command.c_str());
    }
    std::string Journal() const { return rvx::test_support::Slurp(base / "machine" / "journal.log"); }
    std::vector<std::string> Lines(const std::string& kind) const {
        std::vector<std::string> lines;
        std::istringstream in(Journal());
        for (std::string line; std::getline(in, line);)
            if (line.rfind(kind + " ", 0) == 0) lines.push_back(line);
        return lines;
    }
    std::string Output() const { return rvx::test_support::Slurp(base / "out.txt"); }

    fs::path base;
    std::string medium;
};

// The page line of dialog id, the n-th time it was shown.
std::string Page(const DemoRun& run, int id, size_t nth = 0) {
    size_t seen = 0;
    for (const auto& line : run.Lines("PAGE"))
        if (line.rfind("PAGE id=" + std::to_string(id) + " ", 0) == 0 && seen++ == nth) return line;
    return "";
}

void ExpectHas(const std::string& line, const std::string& part) { EXPECT_NE(line.find(part), std::string::npos) << line; }

TEST(LanguageLibraries, AnAttendedInstallationInGermanShowsEveryPageAndMessageInGerman) {
    DemoRun run;
    ASSERT_EQ(run.Install(Answers("noch nicht abgeschlossen"), "/D"), 0) << run.Output() << run.Journal();
    ExpectHas(run.Journal(), "LIBRARY path=\"D:\\\\rovexdeu.dll\" result=loaded strings=");
    ExpectHas(run.Journal(), "EXIT code=0");

    const std::string back = "=\"< &Zur\xfc" "ck\"";
    const std::string licence = Page(run, 127);
    ExpectHas(licence, "b134=\"Ja\"");
    ExpectHas(licence, "b117!" + back);  // the first page: Back is disabled
    ExpectHas(licence, "b2=\"Nein\"");
    const std::string personal = Page(run, 109);
    ExpectHas(personal, "b1=\"Weiter\"");
    ExpectHas(personal, "b2=\"Abbrechen\"");
    ExpectHas(personal, "t105=\"Bitte geben Sie Ihren Namen und den Namen Ihrer Firma ein.\"");
    for (size_t nth : {0, 1}) {
        const std::string folder = Page(run, 104, nth);
        ExpectHas(folder, "b126=\"Durchsuchen\"");
        ExpectHas(folder, "b117" + back);
    }
    ExpectHas(Page(run, 126), "b1=\"Weiter\"");
    ExpectHas(Page(run, 128), "b1=\"OK\"");
    const std::string final_page = Page(run, 129);
    ExpectHas(final_page, "t123=\"Die Software wurde in diesen Ordner installiert:\"");
    ExpectHas(final_page, "t124=\"Die Beispiele wurden in diesen Ordner installiert:\"");

    const auto messages = run.Lines("MESSAGE");
    ASSERT_EQ(messages.size(), 1u) << run.Journal();
    ExpectHas(messages[0], "caption=\"Norvane-Installation\" text=\"Die Installation ist noch nicht abgeschlossen.\\n\\nM\xf6"
                           "chten Sie sie jetzt beenden?\"");
    // No built-in English text is left on any page.
    for (const auto& line : run.Lines("PAGE"))
        for (const char* english : {"\"Next\"", "\"Cancel\"", "< &Back", "\"Browse\"", "has been installed into"})
            EXPECT_EQ(line.find(english), std::string::npos) << line;
}

TEST(LanguageLibraries, AnAttendedInstallationInEnglishShowsTheEnglishLibrarysTexts) {
    DemoRun run;
    ASSERT_EQ(run.Install(Answers("Do you want to quit now ?"), "/E"), 0) << run.Output() << run.Journal();
    ExpectHas(run.Journal(), "LIBRARY path=\"D:\\\\rovexeng.dll\" result=loaded strings=");
    ExpectHas(Page(run, 127), "b134=\"Yes\"");
    ExpectHas(Page(run, 104), "b126=\"Browse\"");
    ExpectHas(Page(run, 104), "b117=\"< &Back\"");
    ExpectHas(Page(run, 129), "t123=\"The software has been installed into the folder:\"");
    const auto messages = run.Lines("MESSAGE");
    ASSERT_EQ(messages.size(), 1u) << run.Journal();
    ExpectHas(messages[0], "caption=\"Norvane Installation\" text=\"The Installation is not yet finished\\n\\nDo you want to quit now ?\"");
}

TEST(LanguageLibraries, ADamagedLibraryLeavesTheBuiltInTexts) {
    DemoRun run;
    const fs::path medium = run.base / "medium";
    fs::copy(RVX_DEMO_MEDIUM, medium, fs::copy_options::recursive);
    // The German library cut in half.
    const std::string library = rvx::test_support::Slurp(medium / "rovexdeu.dll");
    ASSERT_GT(library.size(), 1000u);
    std::ofstream(medium / "rovexdeu.dll", std::ios::binary | std::ios::trunc) << library.substr(0, library.size() / 2);
    run.medium = medium.string();
    ASSERT_EQ(run.Install(Answers("Do you want to quit now ?"), "/D"), 0) << run.Output() << run.Journal();
    ExpectHas(run.Journal(), "LIBRARY path=\"D:\\\\rovexdeu.dll\" result=damaged");
    ExpectHas(Page(run, 104), "b126=\"Browse\"");
    ExpectHas(run.Lines("MESSAGE").at(0), "caption=\"Norvane Installation\"");
}

}  // namespace
