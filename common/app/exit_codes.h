// Exit codes of the installer and the uninstaller. They are stable: scripts that run the
// programs rely on them (README.md lists them).
#pragma once

namespace rvx::app {

enum ExitCode : int {
    kExitCompleted = 0,       // installed (or removed)
    kExitCouldNotStart = 1,   // command line, answer file, script or checks refused; nothing changed
    kExitCancelled = 2,       // the user cancelled or answered No to a question that ends the run
    kExitFailed = 3,          // a stage failed while installing (or removing)
    kExitFatalStop = 4,       // fatal stop: an undefined variable in the script
    kExitNotAvailableYet = 9, // the run reached a stage this build does not have yet

    // Host programs only (the simulated machine):
    kExitUsage = 64,          // wrong host options
    kExitMachineError = 65,   // the machine folder could not be read or written
    kExitAnswerScript = 66,   // the answer script had no fitting answer for an interaction
};

}  // namespace rvx::app
