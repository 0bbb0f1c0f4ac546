// End to end: simmachine restart carries out on a machine folder what a program left for the
// next system start, and simmachine diff shows the attributes programs changed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sandbox/machine.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;

namespace {

// Runs simmachine with arguments; returns its exit code (as the shell reports it), its output in
// output.
int SimMachine(const fs::path& base, const std::string& arguments, std::string& output) {
    return test_support::RunHostProgram(SIMMACHINE_HOST_BINARY, arguments, base, output);
}

}  // namespace

TEST(SimMachineHost, RestartCarriesOutTheReplacementsAProgramLeft) {
    const fs::path base = test_support::MakeTempFolder("rvx-restart");
    const fs::path folder = base / "machine";
    sandbox::MachineConfig config = sandbox::MachineConfig::Default();
    config.files_in_use = {"C:\\WINDOWS\\system32\\lib.dll"};
    ASSERT_TRUE(sandbox::Machine::Create(folder.string(), config));
    std::ofstream(folder / "drives" / "C" / "WINDOWS" / "system32" / "lib.dll") << "old";
    fs::copy(folder, base / "before", fs::copy_options::recursive);
    {
        auto machine = sandbox::Machine::Open(folder.string());
        ASSERT_TRUE(machine);
        sandbox::ScriptedResponder responder = sandbox::ScriptedResponder::Parse("", "answers").value();
        sandbox::ProgramSession session(*machine.value(), {"C:\\Rovexa.exe", "", "", {}}, responder);
        platform::FileSystem& files = session.platform().files;
        ASSERT_TRUE(platform::WriteWholeFile(files, "C:\\WINDOWS\\system32\\lib.009", "new"));
        ASSERT_TRUE(files.ScheduleMoveAtRestart("C:\\WINDOWS\\system32\\lib.009", "C:\\WINDOWS\\system32\\lib.dll"));
        ASSERT_TRUE(files.WriteAttributes("C:\\WINDOWS\\system32\\lib.009", platform::attributes::hidden));
    }

    std::string output;
    ASSERT_EQ(SimMachine(base, "diff '" + (base / "before").string() + "' '" + folder.string() + "'", output), 0) << output;
    EXPECT_NE(output.find("+ attributes C:\\WINDOWS\\system32\\lib.009=H"), std::string::npos) << output;

    ASSERT_EQ(SimMachine(base, "restart '" + folder.string() + "'", output), 0) << output;
    EXPECT_NE(output.find("1 action(s) done, 0 failed"), std::string::npos) << output;
    EXPECT_EQ(test_support::Slurp(folder / "drives" / "C" / "WINDOWS" / "system32" / "lib.dll"), "new");
    EXPECT_FALSE(fs::exists(folder / "drives" / "C" / "WINDOWS" / "system32" / "lib.009"));
    const std::string journal = test_support::Slurp(folder / "journal.log");
    EXPECT_NE(journal.find("RESTART action=move from=\"C:\\\\WINDOWS\\\\system32\\\\lib.009\""), std::string::npos) << journal;
    // The attributes moved with the file; nothing is in use any more.
    EXPECT_NE(test_support::Slurp(folder / "file-attributes.ini").find("C:\\WINDOWS\\system32\\lib.dll=H\n"), std::string::npos);
    auto reopened = sandbox::Machine::Open(folder.string());
    ASSERT_TRUE(reopened);
    EXPECT_TRUE(reopened.value()->config().files_in_use.empty());

    EXPECT_EQ(SimMachine(base, "restart", output), 64);
    fs::remove_all(base);
}
