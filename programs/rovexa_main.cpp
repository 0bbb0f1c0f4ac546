// rovexa: the installer on a simulated Windows machine.
#include <iostream>

#include "common/app/exit_codes.h"
#include "host/host_session.h"
#include "installer/core/install_app.h"
#include "installer_pages.h"
#include "installer_strings.h"

namespace {

constexpr const char* kHelp = R"(Usage: rovexa --machine DIR --medium HOSTDIR [options] [-- installer arguments]

Runs the installer on the simulated Windows machine kept in DIR (created as a fresh
machine when DIR does not exist), as if it had been started from the root of the
installation medium HOSTDIR, which is mounted read-only as drive D: (a CD-ROM).

Options:
  --machine DIR          the simulated machine's folder
  --medium HOSTDIR       the host folder holding the installation medium
  --medium-drive L       mount the medium as drive L: instead of D:
  --medium-type T        cdrom (default), removable, fixed or network
  --medium-writable      mount the medium writable
  --disk HOSTDIR         a further disk of a medium of several (floppies), once for each
                         disk after the first; the medium is then disk 1 in drive A:
                         (removable, unless --medium-drive and --medium-type say else), and
                         "disk N" in an answer script or at the terminal puts disk N in
  --program WINPATH      the installer's Windows path (default L:\Rovexa.exe)
  --ui console           answer messages and pages at the terminal (default)
  --ui script:FILE       answer them from an answer script (docs/answer-scripts.md)
  --help                 show this text

Everything after "--" is the installer's own Windows command line, for example
  rovexa --machine m --medium build/host/demo-medium -- /E /DEBUG D:\unattended.ANS
and a set of floppy disks made by mediumbuild --layout floppies:
  rovexa --machine m --medium F/floppy1 --disk F/floppy2 -- /E A:\unattended.ANS

Exit codes: 0 installed, 1 could not start, 2 cancelled, 3 failed, 4 fatal stop,
9 stopped where this build has no further stages yet; host errors: 64 wrong options,
65 machine folder error, 66 the answer script did not fit.
)";

}  // namespace

int main(int argc, char** argv) {
    rvx::host::RunOptions options;
    if (auto error = rvx::host::ParseRunOptions(argc, argv, {.accepts_medium = true, .accepts_cwd = false}, options)) {
        std::cerr << "rovexa: " << *error << "\nTry 'rovexa --help'.\n";
        return rvx::app::kExitUsage;
    }
    if (options.help) {
        std::cout << kHelp;
        return 0;
    }
    return rvx::host::RunOnMachine(options, {"rovexa", "Rovexa.exe", rvx::installer::kBuiltInStrings, rvx::installer::dialogs::kAllDialogs},
                                   [](rvx::platform::Platform& platform) {
                                       rvx::installer::InstallApp app(platform);
                                       return app.Execute(rvx::app::kExitCouldNotStart);
                                   });
}
