// The host rovexa killed (SIGKILL) midway through its copy stage, as the system ends a program
// without letting it finish anything; the host dismara then removes the product with the log
// it left, and the machine is as it was before.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/sandbox/machine.h"
#include "tests/support/crash_product.h"
#include "tests/support/host_process.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;

namespace {

// How long the test waits at most for the child to reach its trigger, in pauses.
constexpr int kMostPauses = 30000;

size_t FilesBelow(const fs::path& folder) {
    std::error_code error;
    size_t files = 0;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error)) ++files;
    return files;
}

struct Attempt {
    size_t copied_before_kill;  // data files in the installation folder
    uint64_t big_file_bytes;    // a large file after the small ones slows the end of the copy
};

class HostCrash : public ::testing::Test {
protected:
    void SetUp() override { base_ = test_support::MakeTempFolder("rvx-host-crash"); }
    void TearDown() override { fs::remove_all(base_); }

    fs::path Machine() const { return base_ / "machine"; }
    fs::path Data() const { return Machine() / "drives" / "C" / "Program Files" / "Crash" / "data"; }

    // Installs from a fresh medium and kills the installer once it has copied enough files;
    // false when it finished before the kill came. The state before goes to before.
    bool InstallAndKill(const Attempt& attempt, std::map<std::string, std::string>& before, std::string& output) {
        fs::remove_all(Machine());
        fs::remove_all(base_ / "medium");
        EXPECT_TRUE(sandbox::Machine::Create(Machine().string(), sandbox::MachineConfig::Default()));
        test_support::WriteCrashMedium(base_ / "medium", attempt.big_file_bytes);
        before = test_support::MachineState(Machine());
        test_support::ChildProgram rovexa(ROVEXA_HOST_BINARY,
                                          {"--machine", Machine().string(), "--medium", (base_ / "medium").string(), "--ui",
                                           "script:" + (base_ / "no-answers.txt").string(), "--", "/E", "D:\\unattended.ANS"},
                                          base_ / "rovexa-out.txt");
        EXPECT_TRUE(rovexa.started());
        bool killed = false;
        for (int pauses = 0; pauses < kMostPauses && rovexa.Running(); ++pauses) {
            if (FilesBelow(Data()) >= attempt.copied_before_kill) {
                killed = rovexa.Kill();
                break;
            }
            test_support::ChildProgram::Pause();
        }
        if (rovexa.Running()) ADD_FAILURE() << "rovexa neither reached its trigger nor ended";
        output = test_support::Slurp(base_ / "rovexa-out.txt");
        return killed;
    }

    fs::path base_;
};

}  // namespace

TEST_F(HostCrash, AnInstallerKilledMidwayIsRemovedByTheHostUninstallerWithTheLogItLeft) {
    std::ofstream(base_ / "no-answers.txt") << "";
    std::ofstream(base_ / "uninstall.txt") << "page 131 6\nmessage ok ~ \"has been removed\"\n";
    // Early in the copy, then at its first file, then with a large file that keeps the copy
    // going after the small ones.
    const std::vector<Attempt> attempts = {{test_support::kCrashFiles / 8, 0}, {1, 0}, {test_support::kCrashFiles, 64ull << 20}};
    bool killed_midway = false;
    std::string notes;
    for (const Attempt& attempt : attempts) {
        std::map<std::string, std::string> before;
        std::string output;
        if (!InstallAndKill(attempt, before, output)) {
            notes += "finished before " + std::to_string(attempt.copied_before_kill) + " files: " + output + "\n";
            continue;
        }
        killed_midway = true;
        const size_t copied = FilesBelow(Data());
        SCOPED_TRACE("killed after " + std::to_string(copied) + " data files");
        EXPECT_GE(copied, attempt.copied_before_kill);
        // Killed: the host program never got to report how the installer ended.
        EXPECT_EQ(output.find("exit code"), std::string::npos) << output;

        std::string removal;
        const int code = test_support::RunHostProgram(
            DISMARA_HOST_BINARY,
            "--machine '" + Machine().string() + "' --cwd 'C:\\Program Files\\Crash' --ui 'script:" +
                (base_ / "uninstall.txt").string() + "' -- 'C:\\Program Files\\Crash\\crash.nvu'",
            base_, removal);
        EXPECT_EQ(code, 0) << removal;
        // The uninstaller's batch deleted the program and its folder when it ended.
        const std::string left = test_support::StateDifferences(before, test_support::MachineState(Machine()));
        EXPECT_EQ(left, "") << "left behind:\n" << left << removal;
        break;
    }
    EXPECT_TRUE(killed_midway) << "rovexa finished before every kill:\n" << notes;
}
