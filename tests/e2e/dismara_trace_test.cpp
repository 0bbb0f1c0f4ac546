// End to end: the host dismara on a hostile log traces every deletion it refused, with the
// record and the reason, in the debug trace beside the installer's, and keeps what was there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sandbox/machine.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;

namespace {

void Write(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

TEST(DismaraTrace, AHostileLogsRefusalsReachTheTrace) {
    const fs::path base = test_support::MakeTempFolder("rvx-trace");
    const fs::path machine = base / "machine";
    ASSERT_TRUE(sandbox::Machine::Create(machine.string(), sandbox::MachineConfig::Default()));
    const fs::path c = machine / "drives" / "C";
    Write(c / "Prog" / "app.exe", "program");
    Write(c / "important.txt", "someone else's");
    Write(c / "install.log", "Diskette\n");  // an earlier installation's trace
    Write(c / "Prog" / "demo.nvu",
          ".DC:\\Prog\\app.exe\r\n.RDemo\r\n.DC:\\important.txt\r\n.DC:\\Prog\\..\\important.txt\r\n"
          ".XHKLM,SOFTWARE\r\n.FC:\\WINDOWS\r\n.FC:\\Prog\r\n.DC:\\Prog\\demo.nvu\r\n");
    Write(base / "answers.txt", "page 131 6\nmessage ok\n");

    std::string output;
    const int code = test_support::RunHostProgram(
        DISMARA_HOST_BINARY,
        "--machine '" + machine.string() + "' --cwd 'C:\\Prog' --ui 'script:" + (base / "answers.txt").string() +
            "' -- 'C:\\Prog\\demo.nvu'",
        base, output);
    EXPECT_EQ(code, 0) << output;

    const std::string trace = test_support::Slurp(c / "install.log");
    EXPECT_EQ(trace.rfind("Diskette\n", 0), 0u) << trace;
    // Each refusal the host program reports on its error output, record and reason, is traced.
    std::istringstream reported(output);
    std::string traced_records;
    for (std::string line; std::getline(reported, line);) {
        if (line.rfind("dismara: .", 0) != 0) continue;
        const std::string refusal = line.substr(std::string("dismara: ").size());
        EXPECT_NE(trace.find("\n" + refusal + "\n"), std::string::npos) << refusal << " in\n" << trace;
        traced_records += refusal.substr(0, refusal.find(": not removed, ")) + "|";
    }
    EXPECT_EQ(traced_records, ".DC:\\important.txt|.DC:\\Prog\\..\\important.txt|.XHKLM,SOFTWARE|.FC:\\WINDOWS|") << output;
    EXPECT_EQ(test_support::Slurp(c / "important.txt"), "someone else's");
    EXPECT_FALSE(fs::exists(c / "Prog" / "app.exe"));
    fs::remove_all(base);
}
