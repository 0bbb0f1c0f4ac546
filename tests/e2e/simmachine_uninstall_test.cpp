// End to end: simmachine lists a machine's installed products from its uninstall entries, and
// refuses to start an entry whose program is missing or is not the uninstaller.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/uninstall_entry.h"
#include "platform/sandbox/machine.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;

namespace {

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

int SimMachine(const fs::path& base, const std::string& arguments, std::string& output) {
    return test_support::RunHostProgram(SIMMACHINE_HOST_BINARY, arguments, base, output);
}

void AddEntry(sandbox::Machine& machine, const std::string& key, const std::string& display, const std::string& command) {
    platform::Registry& registry = machine.registry();
    ASSERT_TRUE(registry.WriteValue(platform::RootKey::local_machine, kUninstall + key, "DisplayName", platform::RegValue::Text(display)));
    ASSERT_TRUE(registry.WriteValue(platform::RootKey::local_machine, kUninstall + key, "UninstallString",
                                    platform::RegValue::Text(command)));
}

class SimMachineUninstall : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = test_support::MakeTempFolder("rvx-uninstall");
        folder_ = base_ / "machine";
        ASSERT_TRUE(sandbox::Machine::Create(folder_.string(), sandbox::MachineConfig::Default()));
        auto machine = sandbox::Machine::Open(folder_.string());
        ASSERT_TRUE(machine);
        AddEntry(*machine.value(), "Demo", "Demo Product", "C:\\Program Files\\Demo\\Dismara.exe C:\\Program Files\\Demo\\demo.nvu");
        AddEntry(*machine.value(), "Other", "Other Tool", "\"C:\\Program Files\\Other\\remove.exe\" /quiet");
        fs::create_directories(folder_ / "drives" / "C" / "Program Files" / "Other");
        std::ofstream(folder_ / "drives" / "C" / "Program Files" / "Other" / "remove.exe") << "program";
    }
    void TearDown() override { fs::remove_all(base_); }

    fs::path base_;
    fs::path folder_;
};

}  // namespace

TEST_F(SimMachineUninstall, ProgramsListsEachEntryWithItsNameAndCommand) {
    std::string output;
    ASSERT_EQ(SimMachine(base_, "programs '" + folder_.string() + "'", output), 0) << output;
    EXPECT_NE(output.find("Demo\n  DisplayName=Demo Product\n  UninstallString=C:\\Program Files\\Demo\\Dismara.exe "
                          "C:\\Program Files\\Demo\\demo.nvu\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("Other\n  DisplayName=Other Tool\n"), std::string::npos) << output;
    EXPECT_NE(output.find("2 installed product(s)"), std::string::npos) << output;
}

TEST_F(SimMachineUninstall, AnEntryWhoseProgramIsMissingOrNotTheUninstallerIsRefused) {
    const std::string journal_before = test_support::Slurp(folder_ / "journal.log");
    std::string output;
    EXPECT_EQ(SimMachine(base_, "uninstall '" + folder_.string() + "' 'demo product'", output), 1) << output;
    EXPECT_NE(output.find("is not on the machine"), std::string::npos) << output;
    EXPECT_NE(output.find("C:\\Program"), std::string::npos) << output;

    EXPECT_EQ(SimMachine(base_, "uninstall '" + folder_.string() + "' OTHER", output), 1) << output;
    EXPECT_NE(output.find("C:\\Program Files\\Other\\remove.exe"), std::string::npos) << output;
    EXPECT_NE(output.find("can run is Dismara.exe"), std::string::npos) << output;

    EXPECT_EQ(SimMachine(base_, "uninstall '" + folder_.string() + "' Nothing", output), 1) << output;
    EXPECT_NE(output.find("no uninstall entry named Nothing"), std::string::npos) << output;
    EXPECT_EQ(SimMachine(base_, "uninstall '" + folder_.string() + "' Demo --ui", output), 64) << output;
    // Nothing was started.
    EXPECT_EQ(test_support::Slurp(folder_ / "journal.log"), journal_before);
}

TEST(UninstallString, TheProgramIsFoundAsTheSystemFindsItAndTheRestIsPassedAsItStands) {
    const auto find = [](const std::string& path) -> std::optional<std::string> {
        for (const char* file : {"C:\\Program Files\\Demo\\Dismara.exe", "C:\\Tools\\un.exe"})
            if (path == file) return std::string(file);
        return std::nullopt;
    };
    auto split = host::SplitUninstallString("C:\\Program Files\\Demo\\Dismara.exe  \"C:\\Program Files\\Demo\\a.nvu\"  x ", find);
    EXPECT_TRUE(split.found);
    EXPECT_EQ(split.program, "C:\\Program Files\\Demo\\Dismara.exe");
    EXPECT_EQ(split.arguments, "\"C:\\Program Files\\Demo\\a.nvu\"  x ");

    split = host::SplitUninstallString("C:\\Tools\\un C:\\Tools\\log.txt", find);
    EXPECT_TRUE(split.found);
    EXPECT_EQ(split.program, "C:\\Tools\\un.exe");
    EXPECT_EQ(split.arguments, "C:\\Tools\\log.txt");

    split = host::SplitUninstallString("\"C:\\Program Files\\Demo\\Dismara.exe\"C:\\a b", find);
    EXPECT_TRUE(split.found);
    EXPECT_EQ(split.arguments, "C:\\a b");

    split = host::SplitUninstallString("\"C:\\Tools\\gone.exe\" /x", find);
    EXPECT_FALSE(split.found);
    EXPECT_EQ(split.program, "C:\\Tools\\gone.exe");
}
