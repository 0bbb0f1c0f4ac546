// The search for an earlier installation: the publisher's uninstall entry, the registry value
// of %INSTALLDIR%, and the scan of the fixed drives with its search window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "installer/core/install_app.h"
#include "installer/script/previous_installation.h"
#include "installer_strings.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::InstallApp;
using platform::DriveType;
using platform::RootKey;
using test_support::TempMachine;

namespace {

// The search window shown and closed again without a folder to show.
const std::string kWindowAlone = "SEARCH action=show text=\"Looking for previous installations...\"\nSEARCH action=close\n";

sandbox::MachineConfig WithDrives(sandbox::MachineConfig config, std::initializer_list<std::pair<char, DriveType>> drives) {
    for (auto [letter, type] : drives) config.drives.push_back(sandbox::DriveConfig{letter, type, 1024, {}, false});
    return config;
}

struct Installer {
    explicit Installer(const sandbox::MachineConfig& config = sandbox::MachineConfig::Default())
        : temp(config), app(temp.Start("C:\\Setup\\Rovexa.exe", "", "", installer::kBuiltInStrings)) {
        app.folders().script_path = "C:\\Setup\\product.inf";
        app.script().search_install = {"PROG.EXE", "Data.dat"};
    }
    void Folder(const std::string& path) { std::filesystem::create_directories(temp.HostPath(path)); }
    void Product(const std::string& folder, const char* program = "prog.exe", const char* data = "DATA.DAT") {
        temp.PutFile(folder + "\\" + program, "MZ");
        if (data) temp.PutFile(folder + "\\" + data, "");
    }
    void Value(const std::string& key, const std::string& name, const std::string& text) {
        ASSERT_TRUE(app.platform().registry.WriteValue(RootKey::local_machine, key, name, platform::RegValue::Text(text)));
    }
    std::string Search() const {
        std::string lines;
        for (const auto& line : temp.JournalLines("SEARCH")) lines += line + "\n";
        return lines;
    }
    void Locate() { ASSERT_FALSE(installer::LocatePreviousInstallation(app).stopped()); }

    TempMachine temp;
    InstallApp app;
};

}  // namespace

TEST(DriveScan, FindsTheFolderHoldingEveryNameOnFixedDrivesOnly) {
    // A: and B: are skipped by their letter even when fixed; E: and F: by their type.
    Installer run(WithDrives(sandbox::MachineConfig::Default(), {{'A', DriveType::fixed}, {'B', DriveType::fixed},
                                                                  {'E', DriveType::cdrom}, {'F', DriveType::removable},
                                                                  {'G', DriveType::fixed}}));
    for (const char* folder : {"A:\\Match", "B:\\Match", "E:\\Match", "F:\\Match"}) run.Product(folder);
    run.Product("C:\\Half", "prog.exe", nullptr);
    run.Product("G:\\Apps\\Old", "Prog.Exe", "data.DAT");
    run.temp.PutFile("G:\\Apps\\Old\\other.txt", "");
    run.Locate();
    EXPECT_EQ(run.app.folders().previous_installation, "G:\\Apps\\Old");
    EXPECT_EQ(run.app.folders().installation, "G:\\Apps\\Old");
    EXPECT_TRUE(run.app.flags().update);
}

TEST(DriveScan, TheScriptsOwnFolderNeverCounts) {
    {
        Installer run(WithDrives(sandbox::MachineConfig::Default(), {{'D', DriveType::fixed}}));
        run.app.folders().script_path = "c:\\SETUP\\Product.inf";
        run.Product("C:\\Setup");
        // The search of C: ended at the script's folder, so this one is not reached.
        run.Product("C:\\Zeta");
        run.Product("D:\\Old");
        run.Locate();
        EXPECT_EQ(run.app.folders().installation, "D:\\Old");
        EXPECT_TRUE(run.app.flags().update);
    }
    {
        // On the last drive too.
        Installer run(WithDrives(sandbox::MachineConfig::Default(), {{'D', DriveType::fixed}}));
        run.app.folders().script_path = "D:\\Setup\\product.inf";
        run.Product("D:\\Setup");
        run.Locate();
        EXPECT_EQ(run.app.folders().previous_installation, "");
        EXPECT_EQ(run.app.folders().installation, "");
        EXPECT_FALSE(run.app.flags().update);
    }
}

TEST(DriveScan, FindsAFolderDeepDownBehindManyEntries) {
    Installer run(WithDrives(sandbox::MachineConfig::Default(), {{'D', DriveType::fixed}}));
    std::filesystem::path host = run.temp.HostPath("D:\\");
    for (int i = 0; i < 400; ++i) std::ofstream(host / ("file" + std::to_string(i) + ".txt")) << "";
    std::string deep = "D:\\x";
    for (int level = 0; level < 200; ++level) deep += "\\y";
    run.Folder(deep);
    run.Product(deep);
    run.Locate();
    EXPECT_EQ(run.app.folders().installation, deep);
}

TEST(DriveScan, TheSearchWindowShowsEveryTenthFolderOfTheWholeScan) {
    auto config = WithDrives(sandbox::MachineConfig::Default(), {{'D', DriveType::fixed}, {'G', DriveType::fixed}});
    config.drives[0].type = DriveType::cdrom;  // C:, with its many folders, is not scanned
    Installer run(config);
    // Visited in this order: D:\ (1), F01 .. F03 (2-4), F03's S1 and S2 (5, 6), F04 .. F12 (7-15);
    // G:\ (16), X1 .. X5 (17-21).
    for (const char* folder : {"D:\\F01", "D:\\F02", "D:\\F03\\S1", "D:\\F03\\S2", "D:\\F04", "D:\\F05", "D:\\F06",
                               "D:\\F07", "D:\\F08", "D:\\F09", "D:\\F10", "D:\\F11", "D:\\F12", "G:\\X1", "G:\\X2",
                               "G:\\X3", "G:\\X4", "G:\\X5"})
        run.Folder(folder);
    run.Locate();
    EXPECT_EQ(run.Search(),
              "SEARCH action=show text=\"Looking for previous installations...\"\n"
              "SEARCH action=folder folder=\"D:\\\\F07\"\n"
              "SEARCH action=folder folder=\"G:\\\\X4\"\n"
              "SEARCH action=close\n");
    EXPECT_FALSE(run.app.flags().update);
}

TEST(PreviousInstallation, TheSearchWindowStaysForTheWholeLookup) {
    // A registry find and a publisher entry scan nothing, yet the window is up while they are read.
    Installer registered;
    registered.app.script().user_variables = {"TALMREG=Software\\Demo"};
    registered.app.script().named_values = {"INSTALLDIR=HKLM,%TALMREG%,Path"};
    registered.Value("Software\\Demo", "Path", "C:\\Demo");
    registered.Locate();
    EXPECT_EQ(registered.app.folders().installation, "C:\\Demo");
    EXPECT_EQ(registered.Search(), kWindowAlone);
    Installer publisher;
    publisher.app.script().publisher_update = {"OldProduct", "Bin", "prog.exe"};
    publisher.Locate();
    EXPECT_EQ(publisher.Search(), kWindowAlone);
}

TEST(PreviousInstallation, RegistryValueNamedByInstallDir) {
    Installer run;
    run.app.script().user_variables = {"TALMREG=Software\\Talm\\Demo"};
    run.app.script().named_values = {"INSTALLDIR=HKLM,\"%TALMREG%\",Path"};
    run.Value("Software\\Talm\\Demo", "Path", "C:\\Talm\\Demo\\");
    run.Value("Software\\Talm\\Demo\\Setup", "Version", "3.10");
    run.Product("C:\\Elsewhere");
    run.Locate();
    EXPECT_EQ(run.app.folders().previous_installation, "C:\\Talm\\Demo");
    EXPECT_EQ(run.app.folders().installation, "C:\\Talm\\Demo");
    EXPECT_EQ(run.app.folders().installed_version, "3.10");
    EXPECT_TRUE(run.app.flags().update);
    EXPECT_EQ(run.Search(), kWindowAlone);  // no scan after a registry find

    // An empty value is no find: the scan follows.
    run.Value("Software\\Talm\\Demo", "Path", "");
    run.app.folders() = {};
    run.app.folders().script_path = "C:\\Setup\\product.inf";
    run.Locate();
    EXPECT_EQ(run.app.folders().installation, "C:\\Elsewhere");
}

TEST(PreviousInstallation, WhenNoSearchIsMade) {
    {
        // Neither an update nor [SEARCHINSTALL]: nothing is looked at.
        Installer run;
        run.app.script().search_install.clear();
        run.Product("C:\\Old");
        run.Locate();
        EXPECT_EQ(run.app.folders().installation, "");
        EXPECT_EQ(run.Search(), kWindowAlone);
    }
    {
        // An earlier installation already known.
        Installer run;
        run.app.folders().previous_installation = "C:\\Known\\";
        run.Product("C:\\Old");
        run.Locate();
        EXPECT_EQ(run.app.folders().installation, "C:\\Known");
        EXPECT_FALSE(run.app.flags().update);
        EXPECT_EQ(run.Search(), kWindowAlone);
    }
    for (bool patch : {true, false}) {
        // An update never scans, and neither does [NOSEARCHPREVIOUS].
        Installer run;
        (patch ? run.app.flags().patch : run.app.flags().no_search) = true;
        run.Product("C:\\Old");
        run.Locate();
        EXPECT_EQ(run.app.folders().installation, "") << patch;
        EXPECT_EQ(run.Search(), kWindowAlone) << patch;
    }
}

TEST(PreviousInstallation, PublisherUninstallEntry) {
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OldProduct";
    Installer run;
    run.app.script().publisher_update = {"OldProduct", "Bin", "prog.exe"};
    auto publisher_folder = [&] {
        return installer::PublisherInstallationFolder(run.app.script(), run.app.platform().registry, run.app.platform().files);
    };
    EXPECT_EQ(publisher_folder(), "");

    run.Value(key, "UninstallString", "C:\\OLD\\UNINST.EXE");
    EXPECT_EQ(publisher_folder(), "C:\\OLD\\UNINST.EXE");
    run.Value(key, "UninstallString", "C:\\WINDOWS\\UNINST.EXE -fC:\\Old\\remove.isu");
    EXPECT_EQ(publisher_folder(), "-fC:\\Old\\remove.isu");
    run.Value(key, "UninstallString", "C:\\WINDOWS\\UNINST.EXE C:\\Old\\Install.Log");
    EXPECT_EQ(publisher_folder(), "");  // C:\Old\Bin\prog.exe is missing
    run.temp.PutFile("C:\\Old\\Bin\\prog.exe", "MZ");
    EXPECT_EQ(publisher_folder(), "C:\\Old\\Bin");

    // The entry decides alone: no update flag, no scan.
    run.Product("C:\\Found");
    run.Locate();
    EXPECT_EQ(run.app.folders().installation, "C:\\Old\\Bin");
    EXPECT_EQ(run.app.folders().previous_installation, "");
    EXPECT_FALSE(run.app.flags().update);
    EXPECT_EQ(run.Search(), kWindowAlone);
}
