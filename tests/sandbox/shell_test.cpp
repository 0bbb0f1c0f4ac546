// The simulated machine's shell: special folders come from machine.ini's [folders].
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/sandbox/machine.h"
#include "tests/support/temp_machine.h"

namespace fs = std::filesystem;
using namespace rvx;
using platform::SpecialFolder;
using platform::Status;

TEST(SandboxShell, SpecialFoldersAreThoseOfTheDescription) {
    const fs::path base = test_support::MakeTempFolder("rvx-shell");
    const std::string folder = (base / "m").string();
    ASSERT_TRUE(sandbox::Machine::Create(folder, sandbox::MachineConfig::Default()));
    // Edited as a user would: one folder moved, one removed by an empty value.
    std::string ini = test_support::Slurp(base / "m" / "machine.ini");
    const std::string programs = "\nprograms=C:\\Documents and Settings\\User\\Start Menu\\Programs\n";
    const std::string common = "\ncommon_desktop=C:\\Documents and Settings\\All Users\\Desktop\n";
    ASSERT_NE(ini.find(programs), std::string::npos) << ini;
    ASSERT_NE(ini.find(common), std::string::npos) << ini;
    ini.replace(ini.find(programs), programs.size(), "\nprograms=E:\\Menus\\Programs\n");
    ini.replace(ini.find(common), common.size(), "\ncommon_desktop=\n");
    std::ofstream(base / "m" / "machine.ini", std::ios::binary | std::ios::trunc) << ini;

    auto machine = sandbox::Machine::Open(folder);
    ASSERT_TRUE(machine) << machine.error().Describe();
    auto responder = sandbox::ScriptedResponder::Parse("", "answers");
    ASSERT_TRUE(responder);
    auto session = std::make_unique<sandbox::ProgramSession>(
        *machine.value(), sandbox::ProgramStart{"C:\\Setup\\Rovexa.exe", "", "", {}}, responder.value());
    platform::Shell& shell = session->platform().shell;

    EXPECT_EQ(shell.SpecialFolderPath(SpecialFolder::programs).value_or(""), "E:\\Menus\\Programs");
    EXPECT_EQ(shell.SpecialFolderPath(SpecialFolder::fonts).value_or(""), "C:\\WINDOWS\\Fonts");
    auto missing = shell.SpecialFolderPath(SpecialFolder::common_desktop);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.status(), Status::not_found);
    EXPECT_NE(missing.error().detail.find("common_desktop"), std::string::npos) << missing.error().detail;
    // A shortcut request without a full path is refused before anything is written.
    EXPECT_EQ(shell.CreateShortcut({}).status(), Status::invalid_argument);

    session.reset();
    machine.value().reset();
    std::error_code error;
    fs::remove_all(base, error);
}
