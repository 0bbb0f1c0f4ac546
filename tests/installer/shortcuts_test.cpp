// The shortcut stage, desktop and example shortcuts on a simulated machine: groups and their
// uninstall entries, shortcuts read back by an independent reader, the uninstall log of a whole
// small installation, and names that try to leave the Programs menu.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>

#include "installer/files/copy_engine.h"
#include "installer/registration/shortcuts.h"
#include "tests/installer/file_engine_fixture.h"
#include "tests/support/lnk_reader.h"

namespace fs = std::filesystem;
using namespace rvx;
using installer::RunShortcutStage;
using test_support::FileStages;
using test_support::ReadWithLnkinfo;

namespace {

const std::string kMenu = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
const std::string kDesktop = "C:\\Documents and Settings\\All Users\\Desktop";

// An installation into C:\Prog with its uninstall log open.
struct ShortcutRun : FileStages {
    explicit ShortcutRun(const std::string& answers = "") : FileStages(answers) {
        fs::create_directories(temp.HostPath("C:\\Prog"));
        app.folders().documents = "C:\\Docs\\";
        app.uninstall_log().Open("App.nvu", "C:\\Prog");
    }
    std::string Log() {
        app.uninstall_log().Close();
        return Read("C:\\Prog\\App.nvu");
    }
    test_support::LnkInfo Link(const std::string& path) { return ReadWithLnkinfo(RVX_LNKINFO, temp.HostPath(path)); }
    size_t ShortcutFiles() {
        size_t count = 0;
        for (const auto& entry : fs::recursive_directory_iterator(temp.folder()))
            count += entry.path().extension() == ".lnk";
        return count;
    }
};

}  // namespace

TEST(ShortcutStage, GroupsAreMadeAndListedOnceAndShortcutsPointWhereTheLinesSay) {
    ShortcutRun run;
    run.app.script().icons = {"Tools\\Editor,%DSTPATH%\\edit.exe", "A\\B\\Item, %DSTPATH%\\item.exe, %DSTPATH%work",
                              "Tools\\Viewer,%DSTPATH%\\view.exe", "Top,%DSTPATH%\\top.exe"};
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());
    EXPECT_EQ(run.app.progress().line1(), "Creating icons");

    const auto editor = run.Link(kMenu + "\\Tools\\Editor.lnk");
    EXPECT_EQ(editor["Local path"], "C:\\Prog\\edit.exe") << editor.output;
    EXPECT_EQ(editor["Working directory"], "<none>") << editor.output;
    const auto item = run.Link(kMenu + "\\A\\B\\Item.lnk");
    EXPECT_EQ(item["Local path"], "C:\\Prog\\item.exe") << item.output;
    EXPECT_EQ(item["Working directory"], "C:\\Prog\\work") << item.output;
    EXPECT_TRUE(run.Exists(kMenu + "\\Top.lnk"));

    const std::string log = run.Log();
    const std::string tail = ".D" + kMenu + "\\Tools\\Editor.lnk\r\n.D" + kMenu + "\\A\\B\\Item.lnk\r\n.D" + kMenu +
                             "\\Tools\\Viewer.lnk\r\n.D" + kMenu + "\\Top.lnk\r\n.Z" + kMenu + "\\Tools\r\n.Z" + kMenu +
                             "\\A\\B\r\n";  // no Z for the menu itself, which Top.lnk lies in directly
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail) << log;
}

TEST(ShortcutStage, OldShortcutsGoWithTheirGroupsEmptyFoldersButNothingElse) {
    ShortcutRun run;
    for (const char* file : {"\\Old\\a.lnk", "\\Old\\B.LNK", "\\Kept\\c.lnk", "\\Kept\\notes.txt", "\\loose.lnk"})
        run.Put(kMenu + file, "x");
    for (const char* folder : {"\\Old\\Empty\\Deeper", "\\Kept\\Empty", "\\Other Product"})
        fs::create_directories(run.temp.HostPath(kMenu + folder));
    run.Put("C:\\Documents and Settings\\All Users\\Start Menu\\outside.lnk", "x");
    run.app.script().delete_old_items = {"Old\\*", "Kept\\?", "Missing\\*", "*", "..\\*", "Kept\\..\\..\\*"};
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());

    EXPECT_FALSE(run.Exists(kMenu + "\\Old"));
    EXPECT_FALSE(run.Exists(kMenu + "\\Kept\\c.lnk"));
    EXPECT_FALSE(run.Exists(kMenu + "\\Kept\\Empty"));
    EXPECT_TRUE(run.Exists(kMenu + "\\Kept\\notes.txt"));
    EXPECT_FALSE(run.Exists(kMenu + "\\loose.lnk"));
    // A pattern in the menu itself leaves the other groups alone; ".." reaches nothing.
    EXPECT_TRUE(run.Exists(kMenu + "\\Other Product"));
    EXPECT_TRUE(run.Exists("C:\\Documents and Settings\\All Users\\Start Menu\\outside.lnk"));
}

TEST(ShortcutStage, TheUninstallLogOfASmallInstallation) {
    ShortcutRun run;
    auto& script = run.app.script();
    script.version = "2.1";
    script.files = {"APP.EXE", "#2", "readme.txt,docs\\,U", "shared.dll,,C", "sample.txt,,L", "both.dll,,UC"};
    script.force_delete = {"%DSTPATH%\\cache.dat"};
    script.user_variables = {"PRODUCT=Demo", "KEY = \"$HKLM,Software\\Demo,Path\"", "not a variable"};
    script.registry_uninstall = {"HKLM,Software\\Norvane\\%PRODUCT%"};
    script.uninstall_message = "Files are left in\n.the folder\n";
    script.uninstall_message_condition = "%PRODUCT%,Demo,==";
    script.product_name = "Demo %VERSION";
    script.uninstall_commands = {"DeleteGroup(Demo %VERSION)"};
    script.uninstall_commands_conditional = {"%DSTPATH%\\shared.dll", "DeleteItem(Shared)", "odd line"};
    script.icons = {"Demo\\Demo,%DSTPATH%\\APP.EXE"};
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());

    EXPECT_EQ(run.Log(), ".DC:\\Prog\\App.nvu\r\n"
                         ".DC:\\Prog\\APP.EXE\r\n"
                         ".EC:\\Prog\\shared.dll\r\n"
                         ".DC:\\Prog\\sample.txt\r\n"
                         ".DC:\\Docs\\sample.txt.lnk\r\n"
                         ".DC:\\Prog\\cache.dat\r\n"
                         ".XHKLM,Software\\Norvane\\Demo\r\n"
                         ".C\"$HKLM,Software\\Demo,Path\", C:\\Prog\r\n"
                         ".MFiles are left in\r\n .the folder\r\n"
                         ".RDemo 2.1\r\n"
                         ".FC:\\Prog\r\n"
                         ".P[DeleteGroup(Demo 2.1)]\r\n"
                         ".AC:\\Prog\\shared.dll\r\n.B[DeleteItem(Shared)]\r\n"
                         ".D" + kMenu + "\\Demo\\Demo.lnk\r\n"
                         ".Z" + kMenu + "\\Demo\r\n");
}

TEST(ShortcutStage, ForcedDeletionsKeepTheFoldersOfTheirPatterns) {
    ShortcutRun run;
    run.app.script().force_delete = {"logs\\*.log", "\\top.tmp", "%DSTPATH%data\\cache\\*.*", "D:\\Other\\x.dat"};
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());
    EXPECT_NE(run.Log().find(".DC:\\Prog\\App.nvu\r\n"
                             ".DC:\\Prog\\logs\\*.log\r\n"
                             ".DC:\\Prog\\top.tmp\r\n"
                             ".DC:\\Prog\\data\\cache\\*.*\r\n"
                             ".DD:\\Other\\x.dat\r\n"),
              std::string::npos)
        << run.Log();
}

TEST(ShortcutStage, AnExampleShortcutIsRecordedWhereTheCopyMadeIt) {
    ShortcutRun run;
    run.app.script().examples_subfolder = "Samples";
    run.app.script().files = {"first.txt,,L", "docs\\second.txt,,L"};
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());
    const std::string log = run.Log();
    EXPECT_NE(log.find(".DC:\\Docs\\Samples\\first.txt.lnk\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(".DC:\\Docs\\Samples\\docs\\second.txt.lnk\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find(".DC:\\Docs\\first.txt.lnk"), std::string::npos) << log;
}

TEST(ShortcutStage, NoKeyWithAnEmptyPartAndNoShellFolderIsRecordedForRemoval) {
    ShortcutRun run;
    auto& script = run.app.script();
    // A reference that resolved to nothing leaves "Software\" or an empty part in the middle.
    script.user_variables = {"NOTHING=$HKLM,Software\\Missing,Value", "PRODUCT=Demo"};
    script.registry_uninstall = {"HKLM,\"Software\\%NOTHING%\"", "HKLM,Software\\%NOTHING%\\Demo", "HKLM,%NOTHING%",
                                 "HKLM,Software\\%PRODUCT%"};
    // A shortcut straight in the Programs menu: the menu is the shell's, not the product's group.
    script.icons = {"Loose,%DSTPATH%\\APP.EXE"};
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());
    const std::string log = run.Log();
    EXPECT_EQ(log.find(".XHKLM,\"Software\\\""), std::string::npos) << log;
    EXPECT_EQ(log.find(".XHKLM,Software\\\\Demo"), std::string::npos) << log;
    EXPECT_NE(log.find(".XHKLM,Software\\Demo\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(".D" + kMenu + "\\Loose.lnk\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find(".Z"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), 'X'), 1) << log;
}

TEST(ShortcutStage, WithoutAConditionTheWarningNamesNoRegistryValue) {
    ShortcutRun run;
    run.app.script().user_variables = {"KEY=$HKLM,Software\\Demo,Path"};
    run.app.script().uninstall_message = "Careful\n";
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());
    EXPECT_NE(run.Log().find(".C\"\", C:\\Prog\r\n.MCareful\r\n.R"), std::string::npos);
}

TEST(ShortcutStage, NamesThatWouldLeaveTheMenuAreRefusedUnrecorded) {
    ShortcutRun run("message ok ~ \"IPersistFile->Save() Error\"\nmessage ok ~ \"IPersistFile->Save() Error\"\n");
    run.app.script().icons = {"..\\..\\..\\Escaped,%DSTPATH%\\APP.EXE", "Group\\...\\..\\Escaped,%DSTPATH%\\APP.EXE"};
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());
    EXPECT_EQ(run.ShortcutFiles(), 0u);
    EXPECT_EQ(run.temp.responder().remaining(), 0u);
    const std::string log = run.Log();
    EXPECT_EQ(log.find("Escaped"), std::string::npos) << log;
    EXPECT_EQ(log.find(".Z"), std::string::npos) << log;
}

TEST(ShortcutStage, AFailedSaveIsShownAndStillRecorded) {
    ShortcutRun run("message ok ~ \"IPersistFile->Save() Error\"\n");
    run.Put(kMenu + "\\Blocked", "a file where the group should be");
    run.app.script().icons = {"Blocked\\Item,%DSTPATH%\\APP.EXE"};
    ASSERT_FALSE(RunShortcutStage(run.app).stopped());
    EXPECT_NE(run.Journal("MESSAGE").find("caption=\"Error\" text=\"IPersistFile->Save() Error\" buttons=ok icon=none"),
              std::string::npos)
        << run.Journal("MESSAGE");
    EXPECT_NE(run.Log().find(".D" + kMenu + "\\Blocked\\Item.lnk\r\n"), std::string::npos);
}

TEST(DesktopShortcuts, GroupsOfThreeAfterTheFirstLineWithDollarForNoWorkingFolder) {
    ShortcutRun run;
    run.app.script().desktop_icons = {"Put icons on the desktop", "Demo",      "%DSTPATH%\\APP.EXE", "%DSTPATH%",
                                      "Readme",                   "%DSTPATH%\\readme.txt", "$", "Incomplete", "x"};
    ASSERT_FALSE(installer::CreateDesktopShortcuts(run.app).stopped());
    const auto demo = run.Link(kDesktop + "\\Demo.lnk");
    EXPECT_EQ(demo["Local path"], "C:\\Prog\\APP.EXE") << demo.output;
    EXPECT_EQ(demo["Working directory"], "C:\\Prog\\") << demo.output;
    const auto readme = run.Link(kDesktop + "\\Readme.lnk");
    EXPECT_EQ(readme["Local path"], "C:\\Prog\\readme.txt") << readme.output;
    EXPECT_EQ(readme["Working directory"], "<none>") << readme.output;
    EXPECT_EQ(run.ShortcutFiles(), 2u);
    EXPECT_EQ(run.Log(), ".DC:\\Prog\\App.nvu\r\n.D" + kDesktop + "\\Demo.lnk\r\n.D" + kDesktop + "\\Readme.lnk\r\n");
}

TEST(ExampleShortcuts, ACopiedExampleGetsItsShortcutInTheExamplesFolder) {
    ShortcutRun run;
    run.Put("C:\\MEDIUM\\sample.txt", "sample");
    run.app.script().examples_subfolder = "Examples";
    run.app.script().uninstall_file = "App.nvu";
    run.app.script().files = {"sample.txt,,L"};
    ASSERT_EQ(installer::CopyFiles(run.app), installer::CopyStageResult::done);
    const auto link = run.Link("C:\\Docs\\Examples\\sample.txt.lnk");
    EXPECT_EQ(link["Local path"], "C:\\Prog\\sample.txt") << link.output;
    EXPECT_EQ(link["File size"], "6 bytes") << link.output;
    EXPECT_NE(run.Log().find(".DC:\\Docs\\Examples\\sample.txt.lnk\r\n"), std::string::npos);
}

TEST(FolderChain, ResultCodes) {
    auto config = sandbox::MachineConfig::Default();
    config.denied_paths = {"C:\\Locked"};
    FileStages run("", config);
    platform::FileSystem& files = run.app.platform().files;
    run.Put("C:\\Data\\file.txt", "x");
    EXPECT_EQ(installer::MakeFolderChain(files, "C:\\Data"), installer::FolderChainResult::was_folder);
    EXPECT_EQ(installer::MakeFolderChain(files, "C:\\Data\\file.txt"), installer::FolderChainResult::is_file);
    EXPECT_EQ(installer::MakeFolderChain(files, "C:\\Data\\file.txt\\Below"), installer::FolderChainResult::is_file);
    EXPECT_EQ(installer::MakeFolderChain(files, "C:\\New\\One\\Two\\"), installer::FolderChainResult::created);
    EXPECT_TRUE(platform::IsFolder(files, "C:\\New\\One\\Two"));
    EXPECT_EQ(installer::MakeFolderChain(files, "C:\\Locked\\Group"), installer::FolderChainResult::access_denied);
    EXPECT_EQ(installer::MakeFolderChain(files, "Q:\\Group"), installer::FolderChainResult::failed);
}
