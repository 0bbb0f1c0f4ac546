// The replay of each record kind on a simulated machine: files and patterns, shared counts,
// the folder walk, registry keys, services, program-manager commands and the warning.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/uninstaller/uninstaller_fixture.h"
#include "platform/sandbox/sandbox_ui.h"
#include "uninstaller/program_manager_command.h"

using namespace rvx;
using platform::RegValue;
using platform::RootKey;
using test_support::Uninstaller;

namespace {

void AddService(Uninstaller& run, const std::string& name) {
    ASSERT_TRUE(run.platform.registry.WriteValue(RootKey::local_machine, "SYSTEM\\CurrentControlSet\\Services\\" + name,
                                                 "Type", RegValue::Dword(16)));
}

}  // namespace

TEST(LogReplay, ServicesGoFirstThenRecordsInFileOrder) {
    Uninstaller run;
    AddService(run, "DemoSvc");
    run.Put("C:\\Prog\\a.dll");
    run.SetLog({".PFirst[%s]", ".DC:\\Prog\\a.dll", ".GDemoSvc", ".PSecond", ".FC:\\Prog"});
    run.app.ReplayLog();
    EXPECT_FALSE(run.Exists("C:\\Prog\\a.dll"));
    EXPECT_FALSE(run.platform.registry.KeyExists(RootKey::local_machine, "SYSTEM\\CurrentControlSet\\Services\\DemoSvc"));
    // The service was stopped before the first command of the second pass was sent.
    const auto lines = run.temp.JournalLines();
    size_t service = lines.size(), first = lines.size(), second = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].starts_with("SERVICE") && service == lines.size()) service = i;
        if (lines[i].find("First[]") != std::string::npos) first = i;
        if (lines[i].find("Second") != std::string::npos) second = i;
    }
    ASSERT_LT(second, lines.size()) << run.Journal("");
    EXPECT_LT(service, first);
    EXPECT_LT(first, second);
}

TEST(LogReplay, FilesInUseAndPatternsBecomeLeftoversOrGoDuringTheWalk) {
    auto config = sandbox::MachineConfig::Default();
    config.files_in_use = {"C:\\Prog\\busy.exe"};
    Uninstaller run("", "", config);
    run.Put("C:\\Prog\\busy.exe");
    run.Put("C:\\Prog\\keep.txt");
    run.Put("C:\\Prog\\x.TMP");
    run.Put("C:\\Prog\\sub\\y.tmp");
    run.Put("C:\\Prog\\ro.txt");
    ASSERT_TRUE(run.platform.files.WriteAttributes("C:\\Prog\\ro.txt", platform::attributes::read_only));
    run.SetLog({".DC:\\Prog\\busy.exe", ".DC:\\Prog\\*.tmp", ".DC:\\Prog\\ro.txt", ".DC:\\Prog\\Dismara.exe",
                ".FC:\\Prog"});
    run.app.ReplayLog();

    EXPECT_FALSE(run.Exists("C:\\Prog\\ro.txt"));  // read-only files are made normal first
    // The pattern deletes nothing at once but every .tmp the walk meets, in any case.
    EXPECT_FALSE(run.Exists("C:\\Prog\\x.TMP"));
    EXPECT_FALSE(run.Exists("C:\\Prog\\sub\\y.tmp"));
    EXPECT_TRUE(run.Exists("C:\\Prog\\busy.exe"));
    EXPECT_EQ(run.app.state().leftover_patterns, (std::vector<std::string>{"busy.exe", "*.tmp"}));
    // A plain name never matches a full path, so the busy file is a leftover; the running
    // uninstaller never is, even though the log names it.
    EXPECT_EQ(run.app.state().leftover_files, (std::vector<std::string>{"C:\\Prog\\busy.exe", "C:\\Prog\\keep.txt"}));
    EXPECT_EQ(run.app.state().current_folder, "C:\\Prog");
}

TEST(LogReplay, SharedFilesFollowTheirCount) {
    Uninstaller run;
    for (const char* name : {"one.dll", "three.dll", "zero.dll"}) run.Put(std::string("C:\\Shared\\") + name);
    run.SetShared("C:\\Shared\\one.dll", 1);
    run.SetShared("C:\\Shared\\three.dll", 3);
    run.SetShared("C:\\Shared\\zero.dll", 0);
    run.SetShared("Test", 1);
    run.SetLog({".EC:\\Shared\\one.dll", ".EC:\\Shared\\three.dll", ".EC:\\Shared\\zero.dll", ".EC:\\Shared\\none.dll",
                ".AC:\\SHARED\\ONE.DLL", ".B[DeleteGroup(One)]", ".AC:\\Shared\\three.dll", ".B[DeleteGroup(Three)]"});
    run.app.ReplayLog();

    EXPECT_FALSE(run.Exists("C:\\Shared\\one.dll"));
    EXPECT_EQ(run.Shared("C:\\Shared\\one.dll"), std::nullopt);
    EXPECT_EQ(run.Shared("Test"), std::nullopt);
    EXPECT_TRUE(run.Exists("C:\\Shared\\three.dll"));
    EXPECT_EQ(run.Shared("C:\\Shared\\three.dll"), 2u);
    // A count of 0 stays 0 and its file stays.
    EXPECT_TRUE(run.Exists("C:\\Shared\\zero.dll"));
    EXPECT_EQ(run.Shared("C:\\Shared\\zero.dll"), 0u);
    EXPECT_EQ(run.app.state().removed_shared_files, (std::vector<std::string>{"C:\\Shared\\one.dll"}));
    // Only the command whose file went is sent, and B lines never act by themselves.
    const std::string commands = run.Journal("PROGMAN");
    EXPECT_NE(commands.find("DeleteGroup(One)"), std::string::npos) << commands;
    EXPECT_EQ(commands.find("DeleteGroup(Three)"), std::string::npos) << commands;
}

TEST(LogReplay, ASharedFileBelowCommonFilesTakesItsEmptiedFolderAlong) {
    Uninstaller run;
    ASSERT_TRUE(run.platform.registry.WriteValue(RootKey::local_machine, "Software\\Microsoft\\Windows\\CurrentVersion",
                                                 "CommonFilesDir", RegValue::Text("C:\\Program Files\\Common Files")));
    const std::string lib = "C:\\Program Files\\Common Files\\Norvane\\Engine\\lib.dll";
    run.Put(lib);
    run.Put("C:\\Program Files\\Common Files\\top.dll");
    run.SetShared(lib, 1);
    run.SetShared("C:\\Program Files\\Common Files\\top.dll", 1);
    run.SetLog({".E" + lib, ".EC:\\Program Files\\Common Files\\top.dll"});
    run.app.ReplayLog();
    EXPECT_FALSE(run.Exists("C:\\Program Files\\Common Files\\Norvane"));
    EXPECT_TRUE(run.Exists("C:\\Program Files\\Common Files"));
    EXPECT_TRUE(run.app.state().leftover_files.empty());  // that walk collects nothing
}

TEST(LogReplay, ConditionalCommandsAndOddEndings) {
    Uninstaller run;
    // An A record on the last line has no command; an A record takes the next line whatever
    // its code; unknown codes and stray text are passed over.
    run.SetLog({".Q?", "stray text", "", ".", ".AC:\\gone.dll", ".DC:\\Prog\\x.txt", ".AC:\\gone.dll"});
    run.Put("C:\\Prog\\x.txt");
    run.app.state().removed_shared_files = {"C:\\GONE.DLL"};
    run.app.ReplayLog();
    EXPECT_TRUE(run.Exists("C:\\Prog\\x.txt"));  // consumed as the command, not replayed
    EXPECT_NE(run.Journal("PROGMAN").find("C:\\\\Prog\\\\x.txt"), std::string::npos) << run.Journal("PROGMAN");
    EXPECT_EQ(run.temp.JournalLines("PROGMAN").size(), 1u);
}

TEST(LogReplay, WarningTextTakesItsContinuationLines) {
    Uninstaller run;
    run.SetLog({".MKeep your data?", "It stays in the folder.", "\\n and this is dropped", ".FC:\\Nowhere", "after"});
    run.app.ReplayLog();
    EXPECT_EQ(run.app.state().warning_text, "Keep your data?\nIt stays in the folder.\n\n");
    EXPECT_EQ(run.app.state().current_folder, "C:\\Nowhere");  // the F record after it is replayed

    Uninstaller ended;
    ended.SetLog({".MFirst", "", "not part of it"});
    ended.app.ReplayLog();
    EXPECT_EQ(ended.app.state().warning_text, "First\n");
}

TEST(LogReplay, RegistryKeysGoWithTheirWholeTree) {
    Uninstaller run;
    auto& registry = run.platform.registry;
    const std::string long_name(180, 'k');
    ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, "Software\\Demo\\" + long_name + "\\Deep", "v", RegValue::Text("1")));
    ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, "Software\\Demo\\Other", "v", RegValue::Text("1")));
    ASSERT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Sel", "v", RegValue::Text("1")));
    ASSERT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Keep", "v", RegValue::Text("1")));
    run.SetLog({".XHKLM,\"Software\\Demo\",Value,,data", ".Y3HKCU,Software\\Sel", ".Xhkcu,Software\\Keep",
                ".XHKCU", ".XHKLM,\"\"", ".XHKLM,\\", ".Y"});
    run.app.ReplayLog();
    EXPECT_FALSE(registry.KeyExists(RootKey::local_machine, "Software\\Demo"));
    EXPECT_FALSE(registry.KeyExists(RootKey::current_user, "Software\\Sel"));
    // Roots compare exactly; a line without a key, or with an empty one, deletes nothing.
    EXPECT_TRUE(registry.KeyExists(RootKey::current_user, "Software\\Keep"));
    EXPECT_TRUE(registry.KeyExists(RootKey::local_machine, "SOFTWARE\\Microsoft"));
    EXPECT_TRUE(registry.KeyExists(RootKey::current_user, "SOFTWARE\\Microsoft"));
}

TEST(LogReplay, ProductRecordRemovesTheProductsKeysOnly) {
    Uninstaller run;
    auto& registry = run.platform.registry;
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    for (const std::string product : {"Demo", "Other"}) {
        ASSERT_TRUE(registry.WriteValue(RootKey::current_user, "Software\\Norvane\\" + product, "v", RegValue::Text("1")));
        ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, "Software\\Norvane\\" + product + "\\Setup", "v", RegValue::Text("1")));
        ASSERT_TRUE(registry.WriteValue(RootKey::local_machine, uninstall + product, "v", RegValue::Text("1")));
    }
    run.SetLog({".R   ", ".R", ".R,", ".RDemo  "});
    run.app.ReplayLog();
    EXPECT_FALSE(registry.KeyExists(RootKey::current_user, "Software\\Norvane\\Demo"));
    EXPECT_FALSE(registry.KeyExists(RootKey::local_machine, "Software\\Norvane\\Demo"));
    EXPECT_FALSE(registry.KeyExists(RootKey::local_machine, uninstall + "Demo"));
    // Empty names (and a comma) never reach the maker's key or the whole list of products.
    EXPECT_TRUE(registry.KeyExists(RootKey::current_user, "Software\\Norvane\\Other"));
    EXPECT_TRUE(registry.KeyExists(RootKey::local_machine, "Software\\Norvane\\Other"));
    EXPECT_TRUE(registry.KeyExists(RootKey::local_machine, uninstall + "Other"));
}

TEST(LogReplay, FolderRecordsRemoveOnlyEmptyFolders) {
    Uninstaller run;
    ASSERT_TRUE(run.platform.files.MakeFolder("C:\\Group"));
    ASSERT_TRUE(run.platform.files.MakeFolder("C:\\Group\\Empty"));
    ASSERT_TRUE(run.platform.files.MakeFolder("C:\\Group\\Empty\\Deeper"));
    run.Put("C:\\Group\\Full\\item.lnk");
    run.Put("C:\\Other\\file.txt");
    run.SetLog({".ZC:\\Group", ".ZC:\\", ".Z", ".ZC:\\Group\\.\\..", ".FC:\\", ".F", ".FC:\\Group\\..\\.", ".F\\"});
    run.app.ReplayLog();
    EXPECT_FALSE(run.Exists("C:\\Group\\Empty"));
    EXPECT_TRUE(run.Exists("C:\\Group\\Full\\item.lnk"));
    // Drive roots and empty folder texts are never walked: nothing else is offered or removed.
    EXPECT_TRUE(run.app.state().leftover_files.empty());
    EXPECT_TRUE(run.Exists("C:\\Other\\file.txt"));
    EXPECT_TRUE(run.Exists("C:\\WINDOWS\\TEMP"));
}

TEST(LogReplay, WarningConditionComparesTheRegistryValueWithTheFolder) {
    Uninstaller run;
    ASSERT_TRUE(run.platform.registry.WriteValue(RootKey::local_machine, "Software\\Demo", "Path", RegValue::Text("c:\\prog")));
    struct Case {
        const char* record;
        bool expected;
    } cases[] = {
        {"\"$HKLM,Software\\Demo,Path\", C:\\Prog\\", true},
        {"\"$HKLM,Software\\Demo,Path\", C:\\Elsewhere", false},
        {"\"$HKLM,Software\\Demo\", C:\\Prog", false},
        {"\"$HKLM,Software\\Missing,Path\", C:\\Prog", false},
        {"\"$HKLM,Software\\Missing,Path\", ", true},  // both texts empty
        {"", false},
    };
    for (const auto& c : cases) {
        run.app.state().warning_condition = !c.expected;
        run.app.EvaluateWarningCondition(c.record);
        EXPECT_EQ(run.app.state().warning_condition, c.expected) << c.record;
    }
}

TEST(LogReplay, ProgramManagerCommandsLoseTheirPlaceholders) {
    EXPECT_EQ(uninstaller::FormatProgramManagerCommand("[DeleteGroup(%sDemo%s)]%%"), "[DeleteGroup(Demo)]%");
    EXPECT_EQ(uninstaller::FormatProgramManagerCommand("100%d"), "100%d");
    EXPECT_EQ(uninstaller::FormatProgramManagerCommand(std::string(600, 'a')).size(), 499u);
}

namespace {

// The progress window as the user sees it: every status line and bar position, in order.
class RecordingUi : public sandbox::SandboxUi {
public:
    using SandboxUi::SandboxUi;
    void SetProgressText(int line, std::string_view text) override {
        texts.push_back(std::to_string(line) + ":" + std::string(text));
        SandboxUi::SetProgressText(line, text);
    }
    void SetProgressBars(int file_percent, int total_percent) override {
        bars.push_back(total_percent);
        SandboxUi::SetProgressBars(file_percent, total_percent);
    }
    std::vector<std::string> texts;
    std::vector<int> bars;
};

}  // namespace

TEST(LogReplay, ProgressBarTakesOneStepPerLineAndSendsOnlyChanges) {
    Uninstaller run;
    RecordingUi ui(run.temp.machine().journal(), run.temp.responder());
    uninstaller::RemovalProgress progress(ui);
    progress.Open("Removing Demo", 4);
    for (size_t position : {1, 2, 2, 3, 4, 4}) progress.SetPosition(position);
    progress.SetStatus("Removing file a");
    progress.SetStatus("Removing file a");
    EXPECT_EQ(ui.bars, (std::vector<int>{0, 33, 66, 100}));
    EXPECT_EQ(ui.texts, (std::vector<std::string>{"1:Removing file a"}));
}

TEST(LogReplay, StatusLineNamesEachActionAndIsClearedAtTheEnd) {
    Uninstaller run(std::string("C:\\Prog\\demo.nvu"), "page 131 6\nmessage ok\n");
    RecordingUi ui(run.temp.machine().journal(), run.temp.responder());
    platform::Platform& machine = run.platform;
    platform::Platform watched{machine.files,   machine.registry,  machine.environment, machine.shell,
                               machine.services, machine.processes, machine.power,       machine.fonts,
                               machine.program_manager, machine.resources, machine.directx, ui, machine.clock};
    run.Put("C:\\Prog\\demo.nvu",
            Uninstaller::LogText({".DC:\\Prog\\a.txt", ".EC:\\Prog\\b.dll", ".FC:\\Missing", ".RDemo",
                                  ".XHKLM,Software\\Demo", ".Y1HKLM,Software\\Sel", ".P[Reload()]", ".ZC:\\Prog",
                                  ".C\"$HKLM,K,V\", C:\\Prog", ".MText", ".GSvc"}));
    uninstaller::UninstallApp app(watched);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(ui.texts, (std::vector<std::string>{
                            "1:Removing file C:\\Prog\\a.txt", "1:Removing file C:\\Prog\\b.dll", "1:Removing C:\\Missing",
                            "1:Removing registry entry Demo", "1:Removing registry entry HKLM,Software\\Demo",
                            "1:Removing registry entry HKLM,Software\\Sel", "1:[Reload()]", "1:"}));
    // Both passes run the bar from the first line to the last.
    EXPECT_EQ(std::count(ui.bars.begin(), ui.bars.end(), 100), 2);
    const std::string messages = run.Journal("MESSAGE");
    EXPECT_NE(messages.find("caption=\"NORVANE application removal\" text=\"The application \\\"Demo\\\" has been removed.\""),
              std::string::npos) << messages;
}

TEST(LogReplay, WaitsPerLineAdvanceTheMachinesClockInsteadOfSleeping) {
    Uninstaller run;
    std::vector<std::string> lines(19999, ".DC:\\Prog\\missing.txt");
    lines.push_back(".ZC:\\Prog");  // the product's folder, within which its files may go
    run.SetLog(lines);
    const uint64_t before = run.platform.clock.Milliseconds();
    run.app.ReplayLog();
    // 5 ms per line for the services, 1 ms per line for the rest: two minutes of waiting that
    // the simulated machine only counts.
    EXPECT_EQ(run.platform.clock.Milliseconds() - before, 20000u * 6);
    EXPECT_EQ(run.app.state().leftover_patterns.size(), 19999u);
}
