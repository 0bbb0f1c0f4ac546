// Batch files on the simulated machine: the uninstaller's self-deleting batch, the interpreter's
// way with failures, quoting and labels, and the guard against a batch that never ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sandbox/batch_runner.h"
#include "platform/sandbox/sandbox_files.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;
using test_support::TempMachine;

namespace {

constexpr const char* kProgram = "C:\\Program Files\\X\\Dismara.exe";
constexpr const char* kBatch = "C:\\WINDOWS\\TEMP\\_dismara.bat";
// Exactly what the uninstaller writes: no line end after the last line.
constexpr const char* kSelfDelete =
    ":Repeat\r\ndel \"C:\\Program Files\\X\\Dismara.exe\"\r\nif exist \"C:\\Program Files\\X\\Dismara.exe\" goto Repeat\r\n"
    "rmdir \"C:\\Program Files\\X\"\r\ndel \"C:\\WINDOWS\\TEMP\\_dismara.bat\"";

platform::Result<sandbox::BatchReport> RunBatch(TempMachine& temp, const std::string& path) {
    sandbox::SandboxFiles files(temp.machine());
    return sandbox::BatchRunner(files, temp.machine().journal()).Run(path);
}

bool AnyLineHas(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

}  // namespace

TEST(BatchRunner, TheUninstallersBatchRemovesProgramFolderAndItself) {
    TempMachine temp;
    temp.PutFile(kProgram, "program");
    temp.PutFile(kBatch, kSelfDelete);
    auto report = RunBatch(temp, kBatch);
    ASSERT_TRUE(report) << report.error().Describe();
    EXPECT_FALSE(fs::exists(temp.HostPath(kProgram)));
    EXPECT_FALSE(fs::exists(temp.HostPath("C:\\Program Files\\X")));
    EXPECT_TRUE(fs::exists(temp.HostPath("C:\\Program Files")));
    EXPECT_FALSE(fs::exists(temp.HostPath(kBatch)));
    EXPECT_TRUE(report->deleted_itself);
    EXPECT_FALSE(report->stopped);
    EXPECT_EQ(report->failed, 0u);
    EXPECT_EQ(report->lines, 5u);
    const auto lines = temp.JournalLines("BATCH");
    EXPECT_TRUE(AnyLineHas(lines, "command=\"rmdir \\\"C:\\\\Program Files\\\\X\\\"\" result=ok")) << lines.size();
    EXPECT_TRUE(AnyLineHas(lines, "result=ended message=\"The batch file cannot be found.\""));
}

TEST(BatchRunner, AFolderThatStillHoldsFilesStaysAndTheBatchGoesOn) {
    TempMachine temp;
    temp.PutFile(kProgram, "program");
    temp.PutFile("C:\\Program Files\\X\\notes.txt", "the user's");
    temp.PutFile(kBatch, kSelfDelete);
    auto report = RunBatch(temp, kBatch);
    ASSERT_TRUE(report);
    EXPECT_FALSE(fs::exists(temp.HostPath(kProgram)));
    EXPECT_EQ(temp.ReadFile("C:\\Program Files\\X\\notes.txt"), "the user's");
    EXPECT_FALSE(fs::exists(temp.HostPath(kBatch)));
    EXPECT_EQ(report->failed, 1u);
    EXPECT_TRUE(AnyLineHas(temp.JournalLines("BATCH"), "result=failed message=\"The directory is not empty.\""));
}

TEST(BatchRunner, AProgramFileThatStaysInUseIsStoppedByTheLineGuard) {
    sandbox::MachineConfig config = sandbox::MachineConfig::Default();
    config.files_in_use = {kProgram};
    TempMachine temp(config);
    temp.PutFile(kProgram, "program");
    temp.PutFile(kBatch, kSelfDelete);
    auto report = RunBatch(temp, kBatch);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->stopped);
    EXPECT_EQ(report->lines, sandbox::BatchRunner::kLineLimit);
    EXPECT_EQ(sandbox::BatchRunner::kLineLimit, 10000u);
    // The loop never reached the lines after it.
    EXPECT_TRUE(fs::exists(temp.HostPath(kProgram)));
    EXPECT_TRUE(fs::exists(temp.HostPath(kBatch)));
    const auto lines = temp.JournalLines("BATCH");
    EXPECT_TRUE(AnyLineHas(lines, "being used by another process"));
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("result=stopped"), std::string::npos) << lines.back();
}

TEST(BatchRunner, QuotedAndPlainPathsAnyCaseFailuresAndUnknownCommandsGoOn) {
    TempMachine temp;
    for (const char* name : {"C:\\Work\\a.txt", "C:\\Work\\b c.txt", "C:\\Work\\keep.txt", "C:\\Work\\ro.txt", "C:\\Work\\last.txt"})
        temp.PutFile(name, "x");
    fs::create_directories(temp.HostPath("C:\\Work\\Sub"));
    {
        sandbox::SandboxFiles files(temp.machine());
        ASSERT_TRUE(files.WriteAttributes("C:\\Work\\ro.txt", platform::attributes::read_only));
    }
    temp.PutFile("C:\\Work\\run.cmd",
                 "@ECHO OFF\n"
                 "REM tidy up\n"
                 "Del C:\\Work\\a.txt\n"
                 "IF NOT EXIST C:\\Work\\a.txt del \"C:\\Work\\b c.txt\"\n"
                 "frobnicate C:\\Work\\keep.txt\n"
                 "if exist \"c:\\work\\KEEP.TXT\" GOTO skip\n"
                 "del C:\\Work\\keep.txt\n"
                 ":Skip\n"
                 "del C:\\Work\\ro.txt\n"
                 "del C:\\Work\\gone.txt\n"
                 "RD C:\\Work\\Sub\n"
                 "del C:\\Work\\last.txt\n");
    auto report = RunBatch(temp, "C:\\Work\\run.cmd");
    ASSERT_TRUE(report);
    EXPECT_FALSE(fs::exists(temp.HostPath("C:\\Work\\a.txt")));
    EXPECT_FALSE(fs::exists(temp.HostPath("C:\\Work\\b c.txt")));
    EXPECT_TRUE(fs::exists(temp.HostPath("C:\\Work\\keep.txt")));
    EXPECT_TRUE(fs::exists(temp.HostPath("C:\\Work\\ro.txt")));
    EXPECT_FALSE(fs::exists(temp.HostPath("C:\\Work\\Sub")));
    EXPECT_FALSE(fs::exists(temp.HostPath("C:\\Work\\last.txt")));
    EXPECT_FALSE(report->deleted_itself);
    EXPECT_EQ(report->failed, 3u);  // the unknown command, the read-only file, the missing file
    const auto lines = temp.JournalLines("BATCH");
    EXPECT_TRUE(AnyLineHas(lines, "command=\"frobnicate C:\\\\Work\\\\keep.txt\" result=not-understood"));
    EXPECT_TRUE(AnyLineHas(lines, "command=\"del C:\\\\Work\\\\ro.txt\" result=failed message=\"Access is denied.\""));
    EXPECT_TRUE(AnyLineHas(lines, "message=\"Could Not Find C:\\\\Work\\\\gone.txt\""));
    EXPECT_FALSE(AnyLineHas(lines, "REM"));
}

TEST(BatchRunner, AGotoWithoutItsLabelEndsTheBatch) {
    TempMachine temp;
    temp.PutFile("C:\\Work\\a.txt", "x");
    temp.PutFile("C:\\Work\\jump.bat", "goto Nowhere\r\ndel C:\\Work\\a.txt\r\n");
    auto report = RunBatch(temp, "C:\\Work\\jump.bat");
    ASSERT_TRUE(report);
    EXPECT_TRUE(fs::exists(temp.HostPath("C:\\Work\\a.txt")));
    EXPECT_TRUE(AnyLineHas(temp.JournalLines("BATCH"), "cannot find the batch label specified - Nowhere"));
    EXPECT_EQ(RunBatch(temp, "C:\\Work\\none.bat").status(), platform::Status::not_found);
}
