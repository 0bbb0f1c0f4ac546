// InstallApp: the installer's one application object. It owns the install state for the whole
// run (InstallState, which the stages take) and carries the framework's steps: InitInstance,
// Run (the run sequence) and ExitInstance.
#pragma once

#include <string>
#include <string_view>

#include "common/app/application.h"
#include "installer/core/state/install_state.h"
#include "installer/script/expansion.h"
#include "platform/platform.h"

namespace rvx::installer {

class InstallApp : public app::Application, public InstallState {
public:
    explicit InstallApp(platform::Platform& platform) : InstallState(platform) {}

    bool InitInstance() override;
    int Run() override;
    int ExitInstance() override;

    // The command-line step: false when an answer file was named but rejected.
    bool ProcessCommandLine();
    // Reads an answer file; true on success. Sets the unattended flag to the result when the
    // file could be opened.
    bool ReadAnswerFile(std::string_view path);

private:
    // The run sequence up to the end step; returns the exit code.
    int RunSequence();
    // The very end of every run: the restart that was accepted, or else the program to start
    // after the installation when the user chose it; the stop, with nothing started, for an
    // undefined variable in its command.
    Completion FinishRun();
    // The folder the installer runs from; language libraries are loaded only from there.
    std::string ProgramFolder();

    bool background_created_ = false;
};

// The name of the debug trace file.
using app::kTraceFilePath;

}  // namespace rvx::installer
