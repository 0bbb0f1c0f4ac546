// The network installation: the whole set copied from a "\32\" medium, the installer placed as
// Install.exe, the script rewritten, every copy recorded for the uninstaller.
#include <gtest/gtest.h>

#include <filesystem>

#include "installer/core/network_branch.h"
#include "installer/files/network_transfer.h"
#include "tests/installer/file_engine_fixture.h"

using namespace rvx;
using test_support::FileStages;

TEST(NetworkTransfer, CopiesTheWholeMediumAndRewritesTheScript) {
    FileStages run("", sandbox::MachineConfig::Default(), "C:\\CD\\32\\Rovexa.exe");
    run.Put("C:\\CD\\32\\Rovexa.exe", "MZ installer");
    run.Put("C:\\CD\\32\\install.ini", "[NETINSTALL]\r\n[TITLE]\r\nDemo\r\n[NETINSTALL] again\r\n[netInstall]\r\n"
                                         "[FILES]\r\nA.EX_\r\n");
    run.Put("C:\\CD\\DATA\\A.EX_", test_support::LiteralSzdd("abc", 'E'));
    run.Put("C:\\CD\\readme.txt", "hello");
    run.app.folders().installation = "C:\\Share";
    std::filesystem::create_directories(run.temp.HostPath("C:\\Share"));  // the wizard's folder check made it
    run.app.script().uninstall_file = "net.nvu";

    const auto list = installer::ListInstallSet(run.app.platform().files, run.app.folders());
    ASSERT_EQ(list.size(), 4u);
    ASSERT_EQ(installer::TransferInstallSet(run.app, list), installer::TransferResult::done);
    EXPECT_EQ(run.Read("C:\\Share\\DATA\\A.EX_"), test_support::LiteralSzdd("abc", 'E'));  // stays compressed
    EXPECT_EQ(run.Read("C:\\Share\\32\\Rovexa.exe"), "MZ installer");
    EXPECT_EQ(run.Read("C:\\Share\\Install.exe"), "MZ installer");
    EXPECT_EQ(run.Read("C:\\Share\\32\\install.ini"), "[TITLE]\r\nDemo\r\n[FILES]\r\nA.EX_\r\n");
    EXPECT_FALSE(run.Exists("C:\\Share\\32\\install.ini.tmp"));

    run.app.uninstall_log().Close();
    const std::string log = run.Read("C:\\Share\\net.nvu");
    EXPECT_EQ(log.rfind(".DC:\\Share\\net.nvu\r\n", 0), 0u);
    for (const char* copied : {"C:\\Share\\DATA\\A.EX_", "C:\\Share\\32\\Rovexa.exe", "C:\\Share\\Install.exe", "C:\\Share\\readme.txt"})
        EXPECT_NE(log.find(std::string(".D") + copied + "\r\n"), std::string::npos) << copied;
    EXPECT_EQ(run.app.progress().overall_bar(), 100);
}

TEST(NetworkTransfer, TheSpaceCheckStopsIt) {
    auto config = sandbox::MachineConfig::Default();
    config.Drive('C')->size_kilobytes = 4;
    FileStages run("message ok ~ \"You need\"\n", config, "C:\\CD\\Rovexa.exe");
    run.Put("C:\\CD\\big.bin", std::string(8000, 'b'));
    run.app.folders().installation = "C:\\Share";
    const auto list = installer::ListInstallSet(run.app.platform().files, run.app.folders());
    EXPECT_EQ(installer::TransferInstallSet(run.app, list), installer::TransferResult::no_space);
    EXPECT_FALSE(run.Exists("C:\\Share\\big.bin"));
}

TEST(NetworkTransfer, AFailedTransferIsNotReportedAsDone) {
    auto config = sandbox::MachineConfig::Default();
    config.Drive('C')->size_kilobytes = 4;
    FileStages run("message ok ~ \"You need\"\n", config, "C:\\CD\\Rovexa.exe");
    run.Put("C:\\CD\\big.bin", std::string(8000, 'b'));
    run.app.folders().installation = "C:\\Share";
    run.app.script().final_text_net = {"Copied."};
    installer::WizardPages pages(run.app);
    EXPECT_EQ(installer::RunNetworkBranch(run.app, pages), installer::NetworkBranchResult::failed);
    // Neither the registry stage nor the page saying the set was copied.
    EXPECT_EQ(run.Journal("PAGE"), "");
}
