// dismara: the uninstaller on a simulated Windows machine.
#include <iostream>

#include "common/app/exit_codes.h"
#include "host/host_session.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller_pages.h"
#include "uninstaller_strings.h"

namespace {

constexpr const char* kHelp = R"(Usage: dismara --machine DIR [options] [-- uninstall log path]

Runs the uninstaller on the simulated Windows machine kept in DIR, as the system's
list of removable software would start it.

Options:
  --machine DIR          the simulated machine's folder
  --cwd WINFOLDER        the folder the uninstaller starts in (default C:\)
  --program WINPATH      the uninstaller's Windows path (default WINFOLDER\Dismara.exe)
  --ui console           answer messages and pages at the terminal (default)
  --ui script:FILE       answer them from an answer script (docs/answer-scripts.md)
  --help                 show this text

Everything after "--" is the uninstaller's own Windows command line, taken as it stands
(the arguments joined by blanks, no quotes added): the path of the uninstall log, for example
  dismara --machine m --cwd "C:\Program Files\Demo" -- "C:\Program Files\Demo\demo.nvu"
Without it the uninstaller looks for the only .nvu file of its current folder. The machine's
list of installed products runs the uninstaller the same way: simmachine uninstall.

Exit codes: 0 removed, 1 could not start, 2 cancelled, 3 failed, 9 stopped where
this build has no further stages yet; host errors: 64 wrong options, 65 machine
folder error, 66 the answer script did not fit.
)";

}  // namespace

int main(int argc, char** argv) {
    rvx::host::RunOptions options;
    if (auto error = rvx::host::ParseRunOptions(argc, argv, {.accepts_medium = false, .accepts_cwd = true}, options)) {
        std::cerr << "dismara: " << *error << "\nTry 'dismara --help'.\n";
        return rvx::app::kExitUsage;
    }
    if (options.help) {
        std::cout << kHelp;
        return 0;
    }
    // The uninstaller takes its whole command line as the log's path, so nothing is quoted.
    std::string command_line;
    for (const auto& argument : options.arguments) command_line += (command_line.empty() ? "" : " ") + argument;
    options.command_line = command_line;
    return rvx::host::RunOnMachine(options, {"dismara", "Dismara.exe", rvx::uninstaller::kBuiltInStrings, rvx::uninstaller::dialogs::kAllDialogs},
                                   [](rvx::platform::Platform& platform) {
                                       rvx::uninstaller::UninstallApp app(platform);
                                       const int code = app.Execute(rvx::app::kExitCouldNotStart);
                                       // The deletions the log asked for and the bounds refused.
                                       for (const auto& refusal : app.state().refusals)
                                           std::cerr << "dismara: " << refusal << "\n";
                                       return code;
                                   });
}
