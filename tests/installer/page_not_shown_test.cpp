// A page that the user interface cannot show ends the installer with the code for a missing
// piece of this build, never as if the user had cancelled, and installs nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/app/exit_codes.h"
#include "installer/core/install_app.h"
#include "installer_strings.h"
#include "tests/support/pageless_ui.h"
#include "tests/support/temp_machine.h"

using namespace rvx;

namespace {

const char* const kScript =
    "[TITLE]\nDemo\n[PRODUCTNAME]\nDemo\n[SIZE]\n100\n[DISKID]\nDisk %s\n[VERSION]\n1.0.0\n[DEFAULTDIR]\nC:\\Prog\n"
    "[UNINSTALLFILE]\ndemo.nvu\n[STRINGS]\nTALMREG=Software\\Norvane\\Demo\n[LICENSETEXT]\nFree to use.\n[INSTALLDIRTEXT]\nWhere?\n"
    "[FILES]\na.txt\n[EOF]\nend\n";

int RunWithout(test_support::TempMachine& temp, const std::set<int>& missing, const std::string& answers,
               const std::string& extra_sections = "") {
    temp.PutFile("C:\\MEDIUM\\Install.ini", extra_sections + kScript);
    temp.PutFile("C:\\MEDIUM\\a.txt", "payload");
    platform::Platform& machine = temp.Start("C:\\MEDIUM\\Rovexa.exe", "", answers, installer::kBuiltInStrings);
    test_support::PagelessUi ui(machine.ui, missing);
    platform::Platform pageless = test_support::WithUi(machine, ui);
    installer::InstallApp app(pageless);
    return app.InitInstance() ? app.Run() : -1;
}

}  // namespace

TEST(PageNotShown, AWizardPageEndsTheRunAsNotAvailableNotAsCancelled) {
    test_support::TempMachine temp;
    EXPECT_EQ(RunWithout(temp, {127}, ""), app::kExitNotAvailableYet);
    EXPECT_FALSE(std::filesystem::exists(temp.HostPath("C:\\Prog\\a.txt")));
    // No confirm-quit question: nobody could have pressed Cancel.
    EXPECT_TRUE(temp.JournalLines("MESSAGE").empty());
}

TEST(PageNotShown, TheRestartQuestionEndsTheRunAsNotAvailableWithoutARestart) {
    test_support::TempMachine temp;
    const int code = RunWithout(temp, {124}, "page 127 134\npage 109 next\npage 104 next\npage 128 ok\npage 129 ok\n",
                                "[RESTART]\n");
    EXPECT_EQ(code, app::kExitNotAvailableYet);
    EXPECT_EQ(temp.ReadFile("C:\\Prog\\a.txt"), "payload");  // installed before the question
    EXPECT_TRUE(temp.JournalLines("POWER").empty());
    EXPECT_TRUE(temp.JournalLines("MESSAGE").empty());       // no reminder to restart later either
}
