// End to end: the host rovexa program on a medium, answered from an answer script, checked by
// its exit code, the machine's journal and the trace file it leaves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;

namespace {

const std::string kScript =
    "[SIZE]\n1000\n[TITLE]\nDemo\n[DISKID]\nDisk %d\n[INSTALLDIRTEXT]\nWhere?\n[DEFAULTDIR]\n%PROGFILES%\\Demo\n"
    "[UNINSTALLFILE]\ndemo.nvu\n[VERSION]\n1.0.0\n[STRINGS]\nTALMREG=Software\\Norvane\\Demo\n[EOF]\nend\n";

struct HostRun {
    HostRun() : base(rvx::test_support::MakeTempFolder("rvx-e2e")) { fs::create_directories(base / "medium"); }
    ~HostRun() { fs::remove_all(base); }

    void Medium(const std::string& name, const std::string& content) const {
        std::ofstream(base / "medium" / name, std::ios::binary) << content;
    }

    // Runs a host program; returns its exit code.
    int Run(const std::string& program, const std::string& answers, const std::string& arguments) const {
        std::ofstream(base / "answers.txt", std::ios::binary) << answers;
        std::string command = "'" + program + "' --machine '" + (base / "machine").string() + "' --ui 'script:" +
                              (base / "answers.txt").string() + "' " + arguments + " >'" + (base / "out.txt").string() +
                              "' 2>&1; echo $? >'" + (base / "code.txt").string() + "'";
        if (std::system(command.c_str()) != 0) return -1;
        // The shell writes the program's exit code, so no host call is needed to decode it.
        const std::string code = rvx::test_support::Slurp(base / "code.txt");
        return code.empty() ? -1 : std::stoi(code);
    }
    int Rovexa(const std::string& answers, const std::string& windows_arguments) const {
        return Run(ROVEXA_HOST_BINARY, answers, "--medium '" + (base / "medium").string() + "' -- " + windows_arguments);
    }

    std::string Journal() const { return rvx::test_support::Slurp(base / "machine" / "journal.log"); }
    std::string Output() const { return rvx::test_support::Slurp(base / "out.txt"); }

    fs::path base;
};

}  // namespace

TEST(RovexaHost, StartsFromTheMediumReadsItsAnswerFileAndStopsCleanly) {
    HostRun run;
    run.Medium("Install.ini", kScript);
    run.Medium("unattended.ANS", "dstpath=C:\\Program Files\\Demo\nname=Jane\ncompany=ACME\n");
    int code = run.Rovexa("message ok ~ \"Debug messages are written\"\n", "/E /DEBUG 'D:\\unattended.ANS'");
    EXPECT_EQ(code, 0) << run.Output();

    const std::string journal = run.Journal();
    EXPECT_NE(journal.find("MOUNT drive=D: type=cdrom"), std::string::npos) << journal;
    EXPECT_NE(journal.find("PROGRAM path=\"D:\\\\Rovexa.exe\" arguments=\"/E /DEBUG D:\\\\unattended.ANS\""), std::string::npos)
        << journal;
    EXPECT_NE(journal.find("LIBRARY path=\"D:\\\\rovexeng.dll\" result=missing"), std::string::npos) << journal;
    EXPECT_NE(journal.find("MESSAGE caption=\"/E /DEBUG D:\\\\UNATTENDED.ANS\" text=\"Debug messages are written\\nto "
                           "c:\\\\install.log\" buttons=ok icon=none default=1 answer=ok"),
              std::string::npos)
        << journal;
    EXPECT_NE(journal.find("BACKGROUND action=look colour=0,0,255\nBACKGROUND action=title title=\"Demo\""), std::string::npos)
        << journal;
    EXPECT_NE(journal.find("BACKGROUND action=destroy"), std::string::npos) << journal;
    EXPECT_NE(journal.find("EXIT code=0"), std::string::npos) << journal;
    EXPECT_EQ(rvx::test_support::Slurp(run.base / "machine" / "drives" / "C" / "install.log"),
              "Diskette\nSource Path = \"D:\\\"\nDestination Path = \"C:\\Program Files\\Demo\nMake Group: \n");
    // The installation stages ran: the answer file's folder was made, the uninstall log written
    // there, and the version recorded.
    EXPECT_EQ(rvx::test_support::Slurp(run.base / "machine" / "drives" / "C" / "Program Files" / "Demo" / "demo.nvu"),
              ".DC:\\Program Files\\Demo\\demo.nvu\r\n.R\r\n.FC:\\Program Files\\Demo\r\n.ZC:\\Program Files\\Demo\r\n");
    EXPECT_NE(rvx::test_support::Slurp(run.base / "machine" / "registry.reg").find("\\Norvane\\Demo\\Setup]\r\n\"Version\"=\"1.0.0\""),
              std::string::npos);
    EXPECT_NE(run.Output().find("exit code 0"), std::string::npos) << run.Output();
}

TEST(RovexaHost, ScriptFailuresEndTheRunWithTheirMessageAndCode) {
    {
        HostRun run;
        run.Medium("Install.ini", "[TITLE]\nDemo\n[EOF]\nend\n");
        EXPECT_EQ(run.Rovexa("message ok ~ \"Fichier .INI corrompu:\\nSections manquantes:\\n[SIZE]\"\n", ""), 1) << run.Output();
    }
    {
        HostRun run;
        EXPECT_EQ(run.Rovexa("message ok ~ \"No  .INI file.\"\n", ""), 1) << run.Output();
    }
    {
        HostRun run;
        run.Medium("Install.ini", "[DEFAULTDIR]\n%NOWHERE%\\Demo\n" + kScript);
        EXPECT_EQ(run.Rovexa("message ok ~ \"Fatal error: undefined variable\\n%NOWHERE%\"\n", ""), 4) << run.Output();
        EXPECT_NE(run.Journal().find("icon=stop"), std::string::npos);
        EXPECT_NE(run.Journal().find("BACKGROUND action=destroy"), std::string::npos);
    }
}

TEST(RovexaHost, InstallsAMediumOfTwoDiskFoldersWithACompressedFile) {
    HostRun run;
    fs::create_directories(run.base / "medium" / "DISK1");
    fs::create_directories(run.base / "medium" / "DISK2");
    run.Medium("DISK1/Install.ini", "[FILES]\n#1\nfirst.txt,,,R\n#2\nSECOND.TXT,docs\\\n" + kScript);
    run.Medium("DISK1/unattended.ANS", "dstpath=C:\\Program Files\\Demo\n");
    run.Medium("DISK1/DISK1", "Disk 1");
    run.Medium("DISK1/first.txt", "first file\r\n");
    run.Medium("DISK2/DISK2", "Disk 2");
    // "second file\r\n" in the compress/expand format, every byte a literal.
    run.Medium("DISK2/SECOND.TX_", std::string("SZDD\x88\xF0\x27\x33" "AT\x0D\0\0\0" "\xFF" "second f" "\x1F" "ile\r\n", 29));
    const int code = run.Run(ROVEXA_HOST_BINARY, "", "--medium '" + (run.base / "medium").string() +
                                                     "' --program 'D:\\DISK1\\Rovexa.exe' -- 'D:\\DISK1\\unattended.ANS'");
    EXPECT_EQ(code, 0) << run.Output();
    const fs::path installed = run.base / "machine" / "drives" / "C" / "Program Files" / "Demo";
    EXPECT_EQ(rvx::test_support::Slurp(installed / "first.txt"), "first file\r\n");
    EXPECT_EQ(rvx::test_support::Slurp(installed / "docs" / "SECOND.TXT"), "second file\r\n");
    EXPECT_EQ(run.Journal().find("PAGE"), std::string::npos);  // the disk folders need no prompt
}

TEST(RovexaHost, ABadAnswerFileEndsTheRunWithCouldNotStart) {
    HostRun run;
    run.Medium("bad.ANS", "dstpath=C:\\X\nlanguage=fr\n");
    int code = run.Rovexa("message ok ~ \"Unknown ans keyword: language\"\n", "'D:\\bad.ANS'");
    EXPECT_EQ(code, 1) << run.Output();
    EXPECT_NE(run.Journal().find("EXIT code=1"), std::string::npos);
}

TEST(RovexaHost, AnAnswerScriptThatDoesNotFitStopsTheProgram) {
    HostRun run;
    int code = run.Rovexa("page 104 next\n", "'D:\\none.ANS'");
    EXPECT_EQ(code, 66) << run.Output();
    EXPECT_NE(run.Output().find("the program shows message box"), std::string::npos) << run.Output();
    EXPECT_NE(run.Output().find("Can't open answerfile"), std::string::npos) << run.Output();
    EXPECT_NE(run.Journal().find("STOPPED reason="), std::string::npos);
}

TEST(RovexaHost, HostUsageErrorsAndHelp) {
    HostRun run;
    EXPECT_EQ(run.Run(ROVEXA_HOST_BINARY, "", "--bogus"), 64);
    EXPECT_EQ(run.Run(ROVEXA_HOST_BINARY, "", ""), 64);  // no --medium
    EXPECT_EQ(std::system(("'" + std::string(ROVEXA_HOST_BINARY) + "' --help >/dev/null").c_str()), 0);
    EXPECT_EQ(std::system(("'" + std::string(DISMARA_HOST_BINARY) + "' --help >/dev/null").c_str()), 0);
}

TEST(RovexaHost, AMalformedMachineIsReportedAndLeftAsItWas) {
    HostRun run;
    fs::create_directories(run.base / "machine");
    std::ofstream(run.base / "machine" / "machine.ini") << "[system]\nfamily=os2\n";
    int code = run.Rovexa("", "");
    EXPECT_EQ(code, 65);
    EXPECT_NE(run.Output().find("machine.ini line 2"), std::string::npos) << run.Output();
    EXPECT_EQ(rvx::test_support::Slurp(run.base / "machine" / "machine.ini"), "[system]\nfamily=os2\n");
    EXPECT_FALSE(fs::exists(run.base / "machine" / "journal.log"));
}

TEST(SimMachineHost, CreateAndDiffShowWhatChanged) {
    HostRun run;
    const std::string tool = SIMMACHINE_HOST_BINARY;
    const fs::path before = run.base / "before", after = run.base / "after";
    ASSERT_EQ(std::system(("'" + tool + "' create '" + before.string() + "' --family 95 >/dev/null").c_str()), 0);
    EXPECT_NE(rvx::test_support::Slurp(before / "machine.ini").find("family=95"), std::string::npos);
    fs::copy(before, after, fs::copy_options::recursive);
    std::ofstream(after / "drives" / "C" / "WINDOWS" / "new.txt") << "x";
    fs::remove(after / "drives" / "C" / "WINDOWS" / "Fonts");
    std::string registry = rvx::test_support::Slurp(after / "registry.reg");
    registry += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Demo]\r\n\"Version\"=\"1.0\"\r\n";
    std::ofstream(after / "registry.reg", std::ios::binary) << registry;

    const std::string command = "'" + tool + "' diff '" + before.string() + "' '" + after.string() + "' >'" +
                                (run.base / "out.txt").string() + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string diff = run.Output();
    EXPECT_NE(diff.find("+ file C:\\WINDOWS\\new.txt"), std::string::npos) << diff;
    EXPECT_NE(diff.find("- file C:\\WINDOWS\\Fonts"), std::string::npos) << diff;
    EXPECT_NE(diff.find("+ registry [HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Demo] \"Version\""), std::string::npos) << diff;
    EXPECT_NE(diff.find("5 change(s)"), std::string::npos) << diff;  // two keys (Norvane, Demo), one value, two files

    EXPECT_NE(std::system(("'" + tool + "' create '" + before.string() + "' >/dev/null 2>&1").c_str()), 0);  // not over a machine
}

namespace {

// The width and height a PNG file's header gives; {0, 0} when it is no PNG file.
std::pair<uint32_t, uint32_t> PngSize(const fs::path& path) {
    const std::string bytes = rvx::test_support::Slurp(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0) return {0, 0};
    auto big_endian = [&bytes](size_t at) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {big_endian(16), big_endian(20)};
}

}  // namespace

TEST(RovexaHost, LeavesPicturesOfTheScreenThatTheJournalNamesAndSimmachineDrawsTheLastScreen) {
    HostRun run;
    run.Medium("Install.ini", kScript);
    run.Medium("unattended.ANS", "dstpath=C:\\Program Files\\Demo\nname=Jane\ncompany=ACME\n");
    ASSERT_EQ(run.Rovexa("", "/E 'D:\\unattended.ANS'"), 0) << run.Output();

    std::istringstream journal(run.Journal());
    std::vector<std::string> moments;
    for (std::string line; std::getline(journal, line);) {
        if (line.rfind("SCREEN ", 0) != 0) continue;
        const size_t file = line.find(" file=\"");
        ASSERT_NE(file, std::string::npos) << line;
        const std::string relative = line.substr(file + 7, line.size() - file - 8);
        EXPECT_EQ(PngSize(run.base / "machine" / relative), (std::pair<uint32_t, uint32_t>{1024, 768})) << relative;
        moments.push_back(line.substr(7, line.find(' ', 7) - 7));
    }
    ASSERT_GE(moments.size(), 3u) << run.Journal();
    EXPECT_EQ(moments.front(), "moment=background");
    EXPECT_EQ(moments.back(), "moment=end");

    std::string output;
    const fs::path out = run.base / "last.png";
    EXPECT_EQ(rvx::test_support::RunHostProgram(SIMMACHINE_HOST_BINARY, "screen '" + (run.base / "machine").string() + "' --out '" +
                                                                            out.string() + "'",
                                                run.base, output),
              0)
        << output;
    EXPECT_NE(output.find("drew the screen of D:\\Rovexa.exe at journal line "), std::string::npos) << output;
    EXPECT_EQ(PngSize(out), (std::pair<uint32_t, uint32_t>{1024, 768}));

    // Before the program started the screen was the bare desktop; a wrong option is refused.
    EXPECT_EQ(rvx::test_support::RunHostProgram(SIMMACHINE_HOST_BINARY, "screen '" + (run.base / "machine").string() + "' --line 1",
                                                run.base, output),
              0);
    EXPECT_NE(output.find("drew the screen of no program at journal line 1 into "), std::string::npos) << output;
    EXPECT_EQ(PngSize(run.base / "machine" / "screen.png"), (std::pair<uint32_t, uint32_t>{1024, 768}));
    EXPECT_EQ(rvx::test_support::RunHostProgram(SIMMACHINE_HOST_BINARY, "screen '" + (run.base / "machine").string() + "' --line x",
                                                run.base, output),
              64);
}
