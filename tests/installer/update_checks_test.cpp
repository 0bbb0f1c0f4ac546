// The checks before the wizard: version comparison, the installation-folder step, the version
// checks of updates with the reinstall question, and the start checks on NT and 95 machines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "installer/core/install_app.h"
#include "installer/core/installation_folder.h"
#include "installer/core/start_checks.h"
#include "installer/core/update_checks.h"
#include "installer/core/version_compare.h"
#include "installer_strings.h"
#include "platform/sandbox/journal.h"
#include "platform/sandbox/sandbox_registry.h"
#include "tests/support/temp_machine.h"

using namespace rvx;
using installer::CheckResult;
using platform::PlatformFamily;

namespace {

sandbox::MachineConfig Machine(PlatformFamily family, uint32_t minor, bool administrator) {
    sandbox::MachineConfig config = sandbox::MachineConfig::Default();
    config.version = platform::OsVersion{family, family == PlatformFamily::windows_nt ? 5u : 4u, minor, 1000};
    config.administrator = administrator;
    return config;
}

// An installer started from C:\Setup; with tracing on, the trace's notice is answered first.
struct Installer {
    explicit Installer(const std::string& answers = "", const sandbox::MachineConfig& config = Machine(PlatformFamily::windows_nt, 1, true),
                       bool trace = false)
        : traced(trace), temp(config), app(temp.Start("C:\\Setup\\Rovexa.exe", trace ? "/DEBUG" : "", (trace ? "message ok\n" : "") + answers,
                                       installer::kBuiltInStrings)) {
        if (trace) {
            EXPECT_TRUE(app.ProcessCommandLine());
            EXPECT_EQ(temp.JournalLines("MESSAGE").size(), 1u);  // the trace's notice
        }
        app.folders().script_path = "C:\\Setup\\install.ini";
    }
    // The one message the checks showed (the trace's notice aside), or "" when none.
    std::string Message() const {
        auto lines = temp.JournalLines("MESSAGE");
        if (traced && !lines.empty()) lines.erase(lines.begin());
        EXPECT_LE(lines.size(), 1u);
        return lines.empty() ? std::string() : lines[0];
    }
    bool Shows(const std::string& text, const std::string& icon) const {
        const std::string message = Message();
        return message.find(sandbox::Field("text", text)) != std::string::npos && message.find("icon=" + icon) != std::string::npos;
    }

    bool traced;
    test_support::TempMachine temp;
    installer::InstallApp app;
};

}  // namespace

TEST(CompareVersions, GivesTheFirstDifferenceAndHowManyNumbersLeadEqual) {
    struct Case { const char* a; const char* b; int64_t difference; int equal_count; };
    for (const Case& c : std::initializer_list<Case>{
             {"2.1.0", "2.1.5", -5, 2}, {"2.0.9", "2.1.0", -1, 1}, {"10.2.3", "9.20.30", 1, 0}, {"3.0.2", "3.0.2", 0, 2},
             {"Version 3.0.2", "3.0.2", 0, 2}, {"Version 3.1.0", "2.0.0", 1, 0},
             // Any one character separates; a missing number reads 0 and the next starts one further on.
             {"3-1-4", "3.1.4/F", 0, 2}, {"3..4", "3.0.4", 0, 2}, {"4", "4.0.0", 0, 2}, {"no digits", "0.0.0", 0, 2}}) {
        const auto result = installer::CompareVersions(c.a, c.b);
        EXPECT_EQ(result.difference, c.difference) << c.a << " vs " << c.b;
        EXPECT_EQ(result.equal_count, c.equal_count) << c.a << " vs " << c.b;
    }
}

TEST(UpdateVersions, RefusalsQuestionsAndWhatGoesOn) {
    const std::string reinstall = "Version 3.0.2 of this software is already installed\ndo you really want to reinstall version 3.0.2 ?";
    struct Case {
        const char* installed; const char* version; const char* required;
        const char* flags;   // o: [INSTALLOVER], n: [NOVERSIONIDEM], u: unattended, k: [KESTRAUPDATE], -: no [PATCH]
        const char* answer;  // to the message shown, "" when none is expected
        std::string text; const char* icon; CheckResult result; bool install_over;
    };
    for (const Case& c : std::vector<Case>{
             {"2.1.0", "2.2.0", "2.1.5", "", "", "", "", CheckResult::go_on, false},
             {"2.0.9", "2.2.0", "2.1.0", "", "ok",
              "Your must install version 2.1.0 or newer of\nthe software prior to installing this update.\n\nVersion already installed now: 2.0.9",
              "stop", CheckResult::stop, false},
             // Older than required and the same version too: the language is reported alone.
             {"3.0.0/F", "3.0.0/D", "4.0.0", "", "ok",
              "The language of the update is not the same\nas the language of the already installed software.", "stop",
              CheckResult::stop, false},
             {"Version 3.0.2", "3.0.2", "3.0.0", "", "yes", reinstall, "warning", CheckResult::go_on, true},
             {"3.0.2", "3.0.2", "3.0.0", "", "no", reinstall, "warning", CheckResult::stop, false},
             {"3.0.2", "3.0.2", "3.0.0", "u", "", "", "", CheckResult::go_on, true},
             {"3.0.2", "3.0.2", "3.0.0", "n", "", "", "", CheckResult::go_on, false},
             {"3.1.0", "3.0.5", "3.0.0", "", "ok",
              "Version 3.1.0 of this software is already installed\nyou cannot install the update 3.0.5 which is older.", "warning",
              CheckResult::stop, false},
             {"3.1.0", "3.0.5", "3.0.0", "o", "", "", "", CheckResult::go_on, true},
             {"3.1.0", "3.1.0", "3.0.0", "o", "", "", "", CheckResult::go_on, true},
             {"3.0.0/F", "2.0.0/D", "4.0.0", "k", "", "", "", CheckResult::go_on, false},
             {"3.0.0/F", "2.0.0/D", "4.0.0", "-", "", "", "", CheckResult::go_on, false}}) {
        const std::string flags = c.flags, answer = c.answer;
        Installer run(answer.empty() ? "" : "message " + answer + "\n");
        run.app.flags().patch = flags != "-";
        run.app.flags().install_over = flags == "o";
        run.app.flags().no_same_version_question = flags == "n";
        run.app.answers().unattended = flags == "u";
        run.app.flags().publisher_update = flags == "k";
        run.app.folders().installed_version = c.installed;
        run.app.script().version = c.version;
        run.app.script().required_version = c.required;
        const std::string label = std::string(c.installed) + " -> " + c.version + " " + flags + answer;
        EXPECT_EQ(installer::CheckUpdateVersions(run.app), c.result) << label;
        EXPECT_EQ(run.app.flags().install_over, c.install_over) << label;
        if (c.text.empty()) EXPECT_EQ(run.Message(), "") << label;
        else EXPECT_TRUE(run.Shows(c.text, c.icon)) << label << "\n" << run.Message();
    }
}

TEST(SameVersionUpdate, AsksOnlyWhenTheKnownInstalledVersionIsNotOlder) {
    struct Case { const char* installed; const char* answer; bool unattended; CheckResult result; bool install_over; };
    for (const Case& c : std::vector<Case>{{"2.0.0", "no", false, CheckResult::stop, false},
                                           {"2.1.0", "no", false, CheckResult::stop, false},
                                           {"Version 2.0.0/F", "yes", false, CheckResult::go_on, true},
                                           {"2.0.0", "", true, CheckResult::go_on, true},
                                           {"1.9.9", "", false, CheckResult::go_on, false},
                                           {"", "", false, CheckResult::go_on, false}}) {
        Installer run(*c.answer ? std::string("message ") + c.answer + " ~ \"reinstall version 2.0.0/F ?\"\n" : "");
        run.app.answers().unattended = c.unattended;
        run.app.folders().installed_version = c.installed;
        run.app.script().version = "2.0.0/F";
        EXPECT_EQ(installer::ConfirmSameVersionUpdate(run.app), c.result) << c.installed;
        EXPECT_EQ(run.app.flags().install_over, c.install_over) << c.installed;
        EXPECT_EQ(run.temp.responder().remaining(), 0u) << c.installed;
    }
}

TEST(InstallationFolder, DefaultFolderWithItsCopyDriveRootAndTrace) {
    Installer run("", Machine(PlatformFamily::windows_nt, 1, true), true);
    run.app.folders().default_folder = "D:\\Apps\\Product";
    ASSERT_EQ(installer::SettleInstallationFolder(run.app), installer::CheckResult::go_on);
    EXPECT_EQ(run.app.folders().installation_copy, "D:\\Apps\\Product");
    EXPECT_EQ(run.app.folders().installation_drive_root, "D:\\");
    EXPECT_FALSE(run.app.flags().update);
    EXPECT_NE(run.temp.ReadFile("C:\\install.log").find("Destination Path = \"D:\\Apps\\Product\n"), std::string::npos);
}

TEST(InstallationFolder, OldDirNeedsEveryNamedPathAndAnEarlierInstallationWins) {
    auto settle = [](const installer::TextList& old_dir, bool all_present, bool scan) {
        Installer run;
        run.temp.PutFile("C:\\Old\\prog.exe", "MZ");
        if (all_present) run.temp.PutFile("C:\\Old\\Data\\base.dat", "");
        if (scan) run.temp.PutFile("C:\\Earlier\\prog.exe", "MZ");  // listed before C:\Old
        if (scan) run.app.script().search_install = {"PROG.EXE"};
        run.app.folders().default_folder = "C:\\New";
        run.app.script().old_dir = old_dir;
        EXPECT_EQ(installer::SettleInstallationFolder(run.app), installer::CheckResult::go_on);
        EXPECT_EQ(run.app.flags().update, scan);
        // The search shows its window once, itself, whether it scans or not.
        const auto search = run.temp.JournalLines("SEARCH");
        EXPECT_EQ(std::count_if(search.begin(), search.end(), [](const std::string& line) { return line.find("action=show") != std::string::npos; }),
                  1);
        return run.app.folders().installation;
    };
    EXPECT_EQ(settle({"C:\\Old", "prog.exe", "Data\\base.dat"}, true, false), "C:\\Old");
    EXPECT_EQ(settle({"C:\\Old", "prog.exe", "Data\\base.dat"}, false, false), "C:\\New");
    EXPECT_EQ(settle({"C:\\Old"}, true, false), "C:\\New");  // a single line is ignored
    EXPECT_EQ(settle({"C:\\Old", "prog.exe"}, true, true), "C:\\Earlier");
}

TEST(InstallationFolder, PublisherUpdateWithoutEarlierProductIsRefused) {
    Installer run("message ok\n");
    run.app.folders().default_folder = "C:\\New";
    run.app.script().publisher_update = {"OtherProduct", "Prog", "prog.exe"};
    run.app.script().publisher_error_text = {"No earlier product", "was found."};
    run.app.flags().publisher_update = true;
    EXPECT_EQ(installer::SettleInstallationFolder(run.app), installer::CheckResult::stop);
    EXPECT_TRUE(run.Shows("No earlier product\nwas found.", "stop")) << run.Message();
    EXPECT_EQ(run.app.folders().installation_copy, "");
}

TEST(StartChecks, PendingStartErrorIsShownUnlessEmptyOrSilent) {
    for (const std::string error : {"The key is missing.\\nInstall the base first.", "@The key is missing.", ""}) {
        const bool shown = !error.empty() && error[0] != '@';
        Installer run(shown ? "message ok\n" : "");
        run.app.script().pending_start_error = error;
        EXPECT_EQ(installer::ReportPendingStartError(run.app), shown ? CheckResult::stop : CheckResult::go_on) << error;
        EXPECT_EQ(run.Shows("The key is missing.\nInstall the base first.", "warning"), shown) << error;
    }
}

TEST(StartChecks, ALimitedUserOfTheSimulatedMachineIsRefusedWithoutAdminSection) {
    for (auto family : {PlatformFamily::windows_nt, PlatformFamily::windows_95}) {
        const bool refused = family == PlatformFamily::windows_nt;
        Installer run(refused ? "message ok\n" : "", Machine(family, 1, false));
        EXPECT_EQ(installer::CheckRightsAndSystem(run.app), refused ? CheckResult::stop : CheckResult::go_on);
        EXPECT_EQ(run.Shows("To install this software you\nneed administrator rights.", "warning"), refused);
    }
}

TEST(StartChecks, RightsThenNtOnlyThenWindows95Itself) {
    const std::string admin = "To install this software you\nneed administrator rights.";
    const std::string nt_only = "This software needs Windows NT\nor Windows 2000.";
    const std::string no_95 = "This software does not work on\nWindows 95/98/ME.";
    const auto nt = Machine(PlatformFamily::windows_nt, 1, true), nt_user = Machine(PlatformFamily::windows_nt, 1, false);
    const auto w95 = Machine(PlatformFamily::windows_95, 0, false), w98 = Machine(PlatformFamily::windows_95, 10, false);
    struct Case { sandbox::MachineConfig config; const char* sections; bool key_locked; std::string text; };
    // sections: a [ADMIN], n [NTONLY], 9 [NOWIN95].
    for (const Case& c : std::vector<Case>{{nt, "an9", false, ""},        {nt_user, "a", false, admin},
                                           {nt_user, "n9", false, ""},     {w95, "a", false, ""},
                                           {nt, "", true, admin},          {w95, "n9", true, admin},
                                           {w98, "n", false, nt_only},     {w95, "n9", false, nt_only},
                                           {w95, "9", false, no_95},       {w98, "9", false, ""},
                                           {Machine(PlatformFamily::windows_95, 90, false), "9", false, ""}}) {
        Installer run(c.text.empty() ? "" : "message ok\n", c.config);
        // The key's lock is set here for every case, so that the service manager's answer is
        // tried on its own.
        using ReadOnlyKeys = std::vector<std::pair<platform::RootKey, std::string>>;
        static_cast<sandbox::SandboxRegistry&>(run.temp.machine().registry())
            .SetReadOnlyKeys(c.key_locked ? ReadOnlyKeys{{platform::RootKey::local_machine, "Software"}} : ReadOnlyKeys{});
        const std::string sections = c.sections;
        run.app.flags().administrator_rights = sections.find('a') != std::string::npos;
        run.app.flags().nt_only = sections.find('n') != std::string::npos;
        run.app.flags().no_windows_95 = sections.find('9') != std::string::npos;
        const std::string label = sections + " minor " + std::to_string(c.config.version.minor) + (c.key_locked ? " locked" : "");
        EXPECT_EQ(installer::CheckRightsAndSystem(run.app), c.text.empty() ? CheckResult::go_on : CheckResult::stop) << label;
        if (c.text.empty()) EXPECT_EQ(run.Message(), "") << label;
        else EXPECT_TRUE(run.Shows(c.text, "warning")) << label << "\n" << run.Message();
    }
}
