// Installations and removals stopped at any point: a product of a few hundred files is installed
// with the machine stopped after every k-th change (no change of files or registry reaches it
// after that, as when the process is killed), then removed with the log it left. Each time the
// machine is as it was before, apart from what the uninstaller keeps on purpose. A removal
// stopped midway and started again on the same log finishes the job as well.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "installer/core/install_app.h"
#include "installer_strings.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/responder.h"
#include "tests/support/crash_product.h"
#include "tests/support/faults.h"
#include "tests/support/temp_machine.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller_strings.h"

namespace fs = std::filesystem;
using namespace rvx;
using test_support::FaultyFiles;
using test_support::FaultyRegistry;
using test_support::StopSwitch;

namespace {

constexpr int kFiles = test_support::kCrashFiles;
constexpr const char* kLog = test_support::kCrashLog;
constexpr const char* kUninstaller = test_support::kCrashUninstaller;

// Answers as a patient user would: Yes to the removal, OK or the default everywhere else.
class PatientUser : public sandbox::Responder {
public:
    platform::Answer AnswerMessage(const platform::MessageRequest& request) override {
        const auto answers = sandbox::AnswersOf(request.buttons);
        const size_t pick = request.default_button >= 1 && static_cast<size_t>(request.default_button) <= answers.size()
                                ? static_cast<size_t>(request.default_button) - 1
                                : 0;
        return answers.empty() ? platform::Answer::ok : answers[pick];
    }
    int AnswerPage(platform::PageModel& page) override { return page.dialog_id == 131 ? 6 : 1; }
    std::optional<std::string> AnswerBrowse(std::string_view, std::string_view) override { return std::nullopt; }
};

// A fresh machine with the medium in C:\MEDIUM.
class CrashMachine {
public:
    CrashMachine() : base_(test_support::MakeTempFolder("rvx-crash")) {
        EXPECT_TRUE(sandbox::Machine::Create(Folder().string(), sandbox::MachineConfig::Default()).ok());
        test_support::WriteCrashMedium(Folder() / "drives" / "C" / "MEDIUM");
    }
    ~CrashMachine() { fs::remove_all(base_); }

    fs::path Folder() const { return base_ / "machine"; }

    std::map<std::string, std::string> State() const { return test_support::MachineState(Folder()); }
    bool HasFile(const std::string& windows_path) const {
        std::string relative = windows_path.substr(3);
        for (char& c : relative) if (c == '\\') c = '/';
        return fs::exists(Folder() / "drives" / std::string(1, windows_path[0]) / relative);
    }

    // Runs a program with its file and registry changes passing the stop switch; its exit code.
    template <class App>
    int Run(const std::string& program, const std::string& command_line, std::span<const text::StringEntry> strings,
            StopSwitch& stop) {
        auto machine = sandbox::Machine::Open(Folder().string());
        EXPECT_TRUE(machine.ok());
        if (!machine) return -1;
        PatientUser user;
        sandbox::ProgramSession session(*machine.value(), {program, command_line, "C:\\", strings}, user);
        platform::Platform& real = session.platform();
        FaultyFiles files(real.files, stop);
        FaultyRegistry registry(real.registry, stop);
        platform::Platform stoppable{files,          registry,    real.environment,     real.shell,     real.services,
                                     real.processes, real.power,  real.fonts,           real.program_manager,
                                     real.resources, real.directx, real.ui,             real.clock};
        App app(stoppable);
        if constexpr (std::is_same_v<App, installer::InstallApp>) return app.Execute(1);
        else return app.Run();
    }
    int Install(StopSwitch& stop) {
        return Run<installer::InstallApp>("C:\\MEDIUM\\Rovexa.exe", "/E C:\\MEDIUM\\unattended.ANS", installer::kBuiltInStrings, stop);
    }
    int Uninstall(StopSwitch& stop) { return Run<uninstaller::UninstallApp>(kUninstaller, kLog, uninstaller::kBuiltInStrings, stop); }

private:
    fs::path base_;
};

std::string Differences(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after) {
    return test_support::StateDifferences(before, after);
}

uint64_t ChangesOfAWholeInstallation() {
    CrashMachine machine;
    StopSwitch never;
    EXPECT_EQ(machine.Install(never), 0);
    return never.changes();
}

}  // namespace

TEST(CrashSafety, AnInstallationStoppedAtAnyPointIsRemovedWithTheLogItLeft) {
    const uint64_t total = ChangesOfAWholeInstallation();
    ASSERT_GT(total, static_cast<uint64_t>(kFiles));
    const uint64_t step = total / 24;
    for (uint64_t stop_at = 1; stop_at <= total; stop_at += step) {
        SCOPED_TRACE("stopped after " + std::to_string(stop_at) + " of " + std::to_string(total) + " changes");
        CrashMachine machine;
        const auto before = machine.State();
        StopSwitch stop;
        stop.StopAfterChanges(stop_at);
        (void)machine.Install(stop);
        ASSERT_TRUE(stop.stopped());

        const bool logged = machine.HasFile(kLog);
        StopSwitch never;
        const int removed = machine.Uninstall(never);
        const std::string left = Differences(before, machine.State());
        if (!logged) {
            // Stopped before its first file: at most the folder the folder check made is there.
            EXPECT_NE(removed, 0);
            EXPECT_TRUE(left.empty() || left == "+ drives/C/Program Files/Crash\n") << left;
            continue;
        }
        EXPECT_EQ(removed, 0);
        EXPECT_EQ(left, "") << "left behind:\n" << left;
    }
}

TEST(CrashSafety, ARemovalStoppedMidwayIsFinishedWhenStartedAgain) {
    uint64_t total = 0;
    {
        CrashMachine machine;
        StopSwitch never;
        ASSERT_EQ(machine.Install(never), 0);
        StopSwitch counted;
        ASSERT_EQ(machine.Uninstall(counted), 0);
        total = counted.changes();
    }
    ASSERT_GT(total, static_cast<uint64_t>(kFiles));
    const uint64_t step = total / 12;
    for (uint64_t stop_at = 1; stop_at < total; stop_at += step) {
        SCOPED_TRACE("removal stopped after " + std::to_string(stop_at) + " of " + std::to_string(total) + " changes");
        CrashMachine machine;
        const auto before = machine.State();
        StopSwitch never;
        ASSERT_EQ(machine.Install(never), 0);
        StopSwitch stop;
        stop.StopAfterChanges(stop_at);
        (void)machine.Uninstall(stop);
        if (!machine.HasFile(kLog)) {
            // Stopped after the log went, with the batch written: only starting it was left.
            const std::string left = Differences(before, machine.State());
            EXPECT_EQ(left, "+ drives/C/Program Files/Crash\n+ drives/C/Program Files/Crash/Dismara.exe\n"
                            "+ drives/C/WINDOWS/TEMP/_dismara.bat\n") << left;
            continue;
        }
        StopSwitch again;
        EXPECT_EQ(machine.Uninstall(again), 0);
        const std::string left = Differences(before, machine.State());
        EXPECT_EQ(left, "") << "left behind:\n" << left;
    }
}
