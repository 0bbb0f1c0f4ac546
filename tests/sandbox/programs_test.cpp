// Programs and DirectX on the simulated machine: a command line finds its program as the system
// finds it, only a file on the machine can be started, every start is journaled, and the DirectX
// set-up library answers from machine.ini's [directx].
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sandbox/machine_config.h"
#include "platform/sandbox/program_lookup.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using platform::ShowState;
using platform::StartRequest;
using platform::Status;
using test_support::TempMachine;

using Names = std::vector<std::string>;

TEST(ProgramLookup, CandidatesAreTriedAsTheSystemTriesThem) {
    EXPECT_EQ(sandbox::ProgramCandidates("\"C:\\Program Files\\A\\a.exe\" /x"), Names{"C:\\Program Files\\A\\a.exe"});
    EXPECT_EQ(sandbox::ProgramCandidates("  C:\\Program Files\\A\\setup  /q"),
              (Names{"C:\\Program.exe", "C:\\Program Files\\A\\setup.exe", "C:\\Program Files\\A\\setup  /q.exe"}));
    EXPECT_EQ(sandbox::ProgramCandidates("notepad readme.txt"), (Names{"notepad.exe", "notepad readme.txt"}));
    EXPECT_EQ(sandbox::ProgramCandidates("\"C:\\Tools.d\\run\""), Names{"C:\\Tools.d\\run.exe"});
    EXPECT_EQ(sandbox::ProgramCandidates("\"unclosed name"), Names{"unclosed name.exe"});
    EXPECT_TRUE(sandbox::ProgramCandidates("\"\" x").empty());
    EXPECT_TRUE(sandbox::ProgramCandidates("   ").empty());
}

TEST(ProgramLookup, SearchFoldersInTheSystemsOrder) {
    EXPECT_EQ(sandbox::SearchFolders({"D:\\SETUP\\", "C:\\Work", "C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\Bin;;C:\\Tools\\ "}),
              (Names{"D:\\SETUP", "C:\\Work", "C:\\WINDOWS\\system32", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS", "C:\\Bin", "C:\\Tools"}));
}

TEST(SandboxProcesses, OnlyAFileOnTheMachineStartsAndEveryAttemptIsJournaled) {
    TempMachine temp;
    temp.PutFile("C:\\Program.exe", "program");
    temp.PutFile("C:\\Program Files\\Demo\\view.exe", "program");
    temp.PutFile("C:\\WINDOWS\\system32\\notepad.exe", "program");
    std::filesystem::create_directories(temp.HostPath("C:\\Folder.exe"));
    platform::Platform& platform = temp.Start("C:\\MEDIUM\\Rovexa.exe", "");
    platform::Processes& processes = platform.processes;

    // Unquoted, the shorter name wins when it exists, as on the system.
    ASSERT_TRUE(processes.Start(StartRequest{"C:\\Program Files\\Demo\\view.exe", {}, ShowState::normal}));
    ASSERT_TRUE(processes.Start(StartRequest{"\"c:\\program files\\demo\\VIEW\" /a", "C:\\WINDOWS", ShowState::maximized}));
    auto exit_code = processes.StartAndWait(StartRequest{"notepad C:\\x.txt", {}, ShowState::normal}, {});
    ASSERT_TRUE(exit_code);
    EXPECT_EQ(exit_code.value(), 0u);
    EXPECT_EQ(processes.Start(StartRequest{"C:\\Folder.exe", {}, ShowState::normal}).status(), Status::not_found);
    EXPECT_EQ(processes.RunCommand("missing.exe", ShowState::hidden).status(), Status::not_found);
    EXPECT_EQ(processes.Start(StartRequest{"notepad", "C:\\Nowhere", ShowState::normal}).status(), Status::path_not_found);

    const auto starts = temp.JournalLines("START");
    ASSERT_EQ(starts.size(), 6u);
    EXPECT_NE(starts[0].find("program=\"C:\\\\Program.exe\""), std::string::npos) << starts[0];
    EXPECT_NE(starts[1].find("program=\"C:\\\\Program Files\\\\Demo\\\\view.exe\""), std::string::npos) << starts[1];
    EXPECT_NE(starts[1].find("folder=\"C:\\\\WINDOWS\" show=maximized wait=no result=ok"), std::string::npos) << starts[1];
    EXPECT_NE(starts[2].find("program=\"C:\\\\WINDOWS\\\\system32\\\\notepad.exe\""), std::string::npos) << starts[2];
    EXPECT_NE(starts[2].find("wait=yes result=ok"), std::string::npos);
    EXPECT_NE(starts[3].find("result=not-found"), std::string::npos);
    EXPECT_NE(starts[4].find("show=hidden wait=no result=not-found"), std::string::npos);
    EXPECT_NE(starts[5].find("result=no-folder"), std::string::npos);
}

TEST(SandboxProcesses, NamesWithoutAFolderAreLookedForInTheProgramsFolderThenTheCurrentOneThenPath) {
    sandbox::MachineConfig config = sandbox::MachineConfig::Default();
    config.environment.emplace_back("Path", "C:\\Tools");
    TempMachine temp(config);
    temp.PutFile("C:\\MEDIUM\\helper.exe", "beside the installer");
    temp.PutFile("C:\\Work\\helper.exe", "in the current folder");
    temp.PutFile("C:\\Work\\local.exe", "in the current folder");
    temp.PutFile("C:\\Tools\\tool.exe", "on the path");
    platform::Platform& platform = temp.Start("C:\\MEDIUM\\Rovexa.exe", "");
    ASSERT_TRUE(platform.files.SetCurrentFolder("C:\\Work"));
    for (const char* line : {"helper", "local.exe", "tool -v"}) ASSERT_TRUE(platform.processes.RunCommand(line, ShowState::normal)) << line;
    const auto starts = temp.JournalLines("START");
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_NE(starts[0].find("program=\"C:\\\\MEDIUM\\\\helper.exe\""), std::string::npos) << starts[0];
    EXPECT_NE(starts[1].find("program=\"C:\\\\Work\\\\local.exe\""), std::string::npos) << starts[1];
    EXPECT_NE(starts[2].find("program=\"C:\\\\Tools\\\\tool.exe\""), std::string::npos) << starts[2];
}

TEST(SandboxDirectX, TheLibraryLoadsOnlyAsAFileAndAnswersFromMachineIni) {
    sandbox::MachineConfig config = sandbox::MachineConfig::Default();
    config.directx = {true, 0x00040009, 0x384, -3};
    TempMachine temp(config);
    temp.PutFile("C:\\DX\\dsetup.dll", "library");
    std::filesystem::create_directories(temp.HostPath("C:\\DX\\folder.dll"));
    platform::DirectXSetup& directx = temp.Start("C:\\Rovexa.exe", "").directx;
    EXPECT_EQ(directx.Load("C:\\DX\\missing.dll").status(), Status::not_found);
    EXPECT_EQ(directx.Load("C:\\DX\\folder.dll").status(), Status::not_found);
    {
        auto library = directx.Load("c:\\dx\\DSETUP.DLL");
        ASSERT_TRUE(library);
        auto version = library.value()->InstalledVersion();
        ASSERT_TRUE(version);
        EXPECT_EQ(version->version, 0x00040009u);
        EXPECT_EQ(version->revision, 0x384u);
        EXPECT_EQ(library.value()->Run("C:\\DX", 0x02010018).value_or(0), -3);
    }
    EXPECT_EQ(temp.JournalLines("DIRECTX").back(), "DIRECTX action=unload path=\"c:\\\\dx\\\\DSETUP.DLL\"");
}

TEST(SandboxDirectX, MachineIniSectionReadsAndWritesBack) {
    auto parsed = sandbox::ParseMachineConfig(
        "[drives]\nC=fixed,100\n[directx]\nloads=no\nversion=0x0004000a\nrevision=384\nresult=-2147483648\n", "machine.ini");
    ASSERT_TRUE(parsed) << parsed.error().Describe();
    EXPECT_FALSE(parsed->directx.loads);
    EXPECT_EQ(parsed->directx.version, 0x0004000Au);
    EXPECT_EQ(parsed->directx.revision, 0x384u);
    EXPECT_EQ(parsed->directx.setup_result, INT32_MIN);
    const std::string text = sandbox::FormatMachineConfig(parsed.value());
    EXPECT_NE(text.find("[directx]\n"), std::string::npos);
    auto again = sandbox::ParseMachineConfig(text, "machine.ini");
    ASSERT_TRUE(again);
    EXPECT_EQ(sandbox::FormatMachineConfig(again.value()), text);

    for (const char* bad : {"version=0x100000000", "version=4.9", "revision=", "result=2147483648", "result=-1x", "loads=maybe",
                            "setup=1"}) {
        auto refused = sandbox::ParseMachineConfig(std::string("[drives]\nC=fixed,100\n[directx]\n") + bad + "\n", "machine.ini");
        ASSERT_FALSE(refused) << bad;
        EXPECT_NE(refused.error().detail.find("machine.ini line 4"), std::string::npos) << refused.error().detail;
    }
}
