// End to end: products installed unattended by the host rovexa from a medium and removed again
// through their uninstall entry (simmachine uninstall, which runs dismara) leave the machine as it
// was before, or exactly the files the uninstaller could not or was told not to remove.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;

namespace {

// Yes to the removal, and OK to the message that it is done (shown only when nothing is left).
constexpr const char* kYes = "page 131 6\n";
constexpr const char* kRemoved = "message ok ~ \"has been removed\"\n";

// The script of a product named name, installed into C:\Program Files\name with the uninstaller
// stand-in beside its files; the extra lines and sections add to it.
std::string Script(const std::string& name, const std::string& extra_files, const std::string& extra_registry,
                   const std::string& extra_sections) {
    const std::string entry = "HKLM,\"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name + "\",";
    return "[TITLE]\n" + name + "\n[PRODUCTNAME]\n" + name + "\n[VERSION]\n1.0.0\n[DISKID]\nDisk %s\n[SIZE]\n100\n" +
           "[INSTALLDIRTEXT]\nWhere?\n[DEFAULTDIR]\n%PROGFILES%\\" + name + "\n[UNINSTALLFILE]\nproduct.nvu\n" +
           "[STRINGS]\nTALMREG=Software\\" + name + "\n[FILES]\nDismara.exe,,,,\napp.exe,,,,\n" + extra_files +
           "[REGISTRY]\n" + entry + "DisplayName,," + name + "\n" + entry +
           "UninstallString,,%DSTPATH%\\Dismara.exe %DSTPATH%\\product.nvu\n" + "HKLM,\"%TALMREG%\",InstallDir,,%DSTPATH%\n" +
           extra_registry + "[REGISTRYUNINSTALL]\nHKLM,\"%TALMREG%\"\n" + extra_sections + "[EOF]\nend\n";
}

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = rvx::test_support::MakeTempFolder("rvx-round-trip");
        ASSERT_EQ(Sim("create " + Quote(Machine())), 0) << output_;
        // The state every test's uninstallations must bring back.
        fs::copy(Machine(), base_ / "before", fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(base_); }

    static std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }
    fs::path Machine() const { return base_ / "machine"; }
    // The host file of a path below C:\Program Files.
    fs::path ProgramFiles(const std::string& relative) const {
        return Machine() / "drives" / "C" / "Program Files" / fs::path(relative);
    }

    // Runs a host program; returns its exit code, its output in output_.
    int Run(const std::string& program, const std::string& arguments) {
        return rvx::test_support::RunHostProgram(program, arguments, base_, output_);
    }
    int Sim(const std::string& arguments) { return Run(SIMMACHINE_HOST_BINARY, arguments); }

    // What differs from the state before the installations, as simmachine diff lists it.
    std::string Diff() {
        EXPECT_EQ(Sim("diff " + Quote(base_ / "before") + " " + Quote(Machine())), 0) << output_;
        return output_;
    }

    // Writes the medium of a product and installs it unattended; any question the installer asks
    // stops it, since its answer script is empty.
    void Install(const std::string& name, const std::string& extra_files = "", const std::string& extra_registry = "",
                 const std::string& extra_sections = "") {
        const fs::path medium = base_ / ("medium-" + name);
        fs::create_directories(medium);
        Write(medium / "Install.ini", Script(name, extra_files, extra_registry, extra_sections));
        Write(medium / "unattended.ANS", "installmode=1\ndstpath=C:\\Program Files\\" + name + "\nname=Jane\ncompany=ACME\n");
        Write(medium / "Dismara.exe", "uninstaller stand-in");
        Write(medium / "app.exe", "program of " + name);
        Write(medium / "readme.txt", "read me");
        Write(medium / "shared.dll", "shared library");
        Write(base_ / "no-answers.txt", "");
        const std::string answers = "script:" + (base_ / "no-answers.txt").string();
        const std::string arguments = "--machine " + Quote(Machine()) + " --ui " + Quote(answers) + " --medium " + Quote(medium);
        ASSERT_EQ(Run(ROVEXA_HOST_BINARY, arguments + " -- /E 'D:\\unattended.ANS'"), 0) << output_;
    }

    // Removes a product through its uninstall entry with these answers; returns the exit code.
    // The journal lines it adds are in uninstall_journal_.
    int Uninstall(const std::string& name, const std::string& answers) {
        const size_t mark = Journal().size();
        Write(base_ / "uninstall.answers", answers);
        const int code = Sim("uninstall " + Quote(Machine()) + " '" + name + "' --ui " +
                             Quote("script:" + (base_ / "uninstall.answers").string()));
        uninstall_journal_ = Journal().substr(mark);
        return code;
    }

    // Marks a file as held open by a running program, as machine.ini's [in-use] section does.
    void HoldOpen(const std::string& windows_path) {
        std::string ini = rvx::test_support::Slurp(Machine() / "machine.ini");
        const size_t denied = ini.find("\n[denied]");
        ASSERT_NE(denied, std::string::npos) << ini;
        Write(Machine() / "machine.ini", ini.insert(denied, windows_path + "\n"));
    }

    static void Write(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    std::string Journal() const { return rvx::test_support::Slurp(Machine() / "journal.log"); }
    std::string Registry() const { return rvx::test_support::Slurp(Machine() / "registry.reg"); }

    fs::path base_;
    std::string output_;
    std::string uninstall_journal_;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The first line of text that starts with start (empty when there is none).
std::string LineStarting(const std::string& text, const std::string& start) {
    const std::string lines = "\n" + text;
    const size_t at = lines.find("\n" + start);
    if (at == std::string::npos) return {};
    return lines.substr(at + 1, lines.find('\n', at + 1) - at - 1);
}

}  // namespace

TEST_F(RoundTrip, AFullProductIsRemovedWithEverythingItChanged) {
    const std::string service = "HKLM,\"SYSTEM\\CurrentControlSet\\Services\\DemoSvc";
    Install("Alpha", "readme.txt,,,R,\nshared.dll,Alpha Shared\\,C,,\n",
            "HKLM,\"%TALMREG%\\Options\",Level,hex,0a000000\n" + service + "\",Type,inc,1\n" + service +
                "\\Parameters\",Folder,,%DSTPATH%\n",
            "[ICONS]\nAlpha\\Alpha,%DSTPATH%\\app.exe,%DSTPATH%\nAlpha\\Help\\Read me,%DSTPATH%\\readme.txt\n"
            "[STOPSVCUNINSTALL]\nDemoSvc\n");
    // The installation did what the round trip must undo, so the empty diff below means something.
    const std::string installed = Diff();
    const std::string programs = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Alpha\\";
    EXPECT_TRUE(Has(installed, "+ attributes C:\\Program Files\\Alpha\\readme.txt=R")) << installed;
    EXPECT_TRUE(Has(installed, "+ file C:\\Program Files\\Common Files\\Alpha Shared\\shared.dll")) << installed;
    EXPECT_TRUE(Has(installed, "SharedDLLs] \"C:\\\\Program Files\\\\Common Files\\\\Alpha Shared\\\\shared.dll\"")) << installed;
    EXPECT_TRUE(Has(installed, "+ file " + programs + "Alpha.lnk")) << installed;
    EXPECT_TRUE(Has(installed, "+ file " + programs + "Help\\Read me.lnk")) << installed;
    EXPECT_TRUE(Has(installed, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Alpha\\Options] \"Level\"")) << installed;
    EXPECT_TRUE(Has(installed, "Services\\DemoSvc] \"Type\"")) << installed;
    EXPECT_TRUE(Has(installed, "Services\\DemoSvc\\Parameters] \"Folder\"")) << installed;
    EXPECT_TRUE(Has(installed, "Uninstall\\Alpha] \"UninstallString\"")) << installed;

    ASSERT_EQ(Uninstall("alpha", std::string(kYes) + kRemoved), 0) << output_ << uninstall_journal_;
    EXPECT_EQ(Diff(), "0 change(s)\n");

    // The service was stopped before it was deleted, and the batch removed the uninstaller.
    const size_t stop = uninstall_journal_.find("SERVICE action=stop name=\"DemoSvc\"");
    const size_t gone = uninstall_journal_.find("SERVICE action=delete name=\"DemoSvc\"");
    ASSERT_NE(stop, std::string::npos) << uninstall_journal_;
    ASSERT_NE(gone, std::string::npos) << uninstall_journal_;
    EXPECT_LT(stop, gone);
    EXPECT_TRUE(Has(uninstall_journal_, "command=\"del \\\"C:\\\\Program Files\\\\Alpha\\\\Dismara.exe\\\"\" result=ok"))
        << uninstall_journal_;
    EXPECT_TRUE(Has(uninstall_journal_, "command=\"rmdir \\\"C:\\\\Program Files\\\\Alpha\\\"\" result=ok"))
        << uninstall_journal_;
}

TEST_F(RoundTrip, ASharedFileStaysUntilItsLastProductIsRemoved) {
    const std::string shared = "shared.dll,Norvane Shared\\,C,,\n";
    const std::string count = "\"C:\\\\Program Files\\\\Common Files\\\\Norvane Shared\\\\shared.dll\"=dword:0000000";
    Install("Alpha", shared);
    Install("Beta", shared);
    EXPECT_TRUE(Has(Registry(), count + "2")) << Registry();

    ASSERT_EQ(Uninstall("Alpha", std::string(kYes) + kRemoved), 0) << output_ << uninstall_journal_;
    EXPECT_TRUE(Has(Registry(), count + "1")) << Registry();
    EXPECT_EQ(rvx::test_support::Slurp(ProgramFiles("Common Files/Norvane Shared/shared.dll")), "shared library");
    EXPECT_FALSE(fs::exists(ProgramFiles("Alpha")));
    // Beta is untouched: its files and its entry are there, and it can still be removed.
    EXPECT_EQ(rvx::test_support::Slurp(ProgramFiles("Beta/app.exe")), "program of Beta");
    ASSERT_EQ(Sim("programs " + Quote(Machine())), 0) << output_;
    EXPECT_TRUE(Has(output_, "DisplayName=Beta\n")) << output_;
    EXPECT_FALSE(Has(output_, "DisplayName=Alpha\n")) << output_;

    ASSERT_EQ(Uninstall("Beta", std::string(kYes) + kRemoved), 0) << output_ << uninstall_journal_;
    EXPECT_EQ(Diff(), "0 change(s)\n");
}

TEST_F(RoundTrip, AFileInUseIsOfferedAndStaysUntilTheMachineRestarts) {
    Install("Gamma", "readme.txt,,,,\n");
    HoldOpen("C:\\Program Files\\Gamma\\app.exe");
    ASSERT_EQ(Uninstall("Gamma", std::string(kYes) + "page 129 ok\n"), 0) << output_ << uninstall_journal_;

    // The list holds the file in use and nothing else (the uninstaller's own file is not offered).
    const std::string offered = LineStarting(uninstall_journal_, "PAGE id=129");
    EXPECT_TRUE(Has(offered, " m1000=\"C:\\\\Program Files\\\\Gamma\\\\app.exe\" b1=")) << uninstall_journal_;

    // The uninstaller made the file normal before it tried to delete it, as the system lets it.
    const std::string left = Diff();
    EXPECT_EQ(left, "+ file C:\\Program Files\\Gamma\n+ file C:\\Program Files\\Gamma\\app.exe\n"
                    "+ attributes C:\\Program Files\\Gamma\\app.exe=-\n3 change(s)\n");

    // A restart ends the program that held the file; the uninstaller asked for nothing to be done then.
    ASSERT_EQ(Sim("restart " + Quote(Machine())), 0) << output_;
    EXPECT_FALSE(Has(rvx::test_support::Slurp(Machine() / "machine.ini"), "Gamma")) << "still in use";
    EXPECT_EQ(Diff(), left);
}

// The user put files of their own into the product's folder after installing it.
void AddUserFiles(const fs::path& folder) {
    std::ofstream(folder / "notes.txt") << "my notes";
    fs::create_directories(folder / "saves");
    std::ofstream(folder / "saves" / "game.sav") << "saved";
}

TEST_F(RoundTrip, LeftoversTheUserMadeGoOnlyWhenTheBoxIsTicked) {
    Install("Delta");
    AddUserFiles(ProgramFiles("Delta"));
    ASSERT_EQ(Uninstall("Delta", std::string(kYes) + "page 129 ok 1001=1\n"), 0) << output_ << uninstall_journal_;
    EXPECT_TRUE(Has(LineStarting(uninstall_journal_, "PAGE id=129"),
                    " m1000=\"C:\\\\Program Files\\\\Delta\\\\notes.txt\\r\\n"
                    "C:\\\\Program Files\\\\Delta\\\\saves\\\\game.sav\" "))
        << uninstall_journal_;
    EXPECT_EQ(Diff(), "0 change(s)\n");

    Install("Delta");
    AddUserFiles(ProgramFiles("Delta"));
    ASSERT_EQ(Uninstall("Delta", std::string(kYes) + "page 129 ok\n"), 0) << output_ << uninstall_journal_;
    EXPECT_EQ(Diff(),
              "+ file C:\\Program Files\\Delta\n+ file C:\\Program Files\\Delta\\notes.txt\n"
              "+ file C:\\Program Files\\Delta\\saves\n"
              "+ file C:\\Program Files\\Delta\\saves\\game.sav\n4 change(s)\n");
}
