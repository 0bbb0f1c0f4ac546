// InstallApp: the installer's one application object. It owns the install state for the whole
// run and carries the framework's steps: InitInstance, Run (the run sequence) and ExitInstance.
#pragma once

#include <string>
#include <string_view>

#include "common/app/application.h"
#include "common/uninstall_log/uninstall_log.h"
#include "installer/core/install_state.h"
#include "installer/core/trace.h"
#include "installer/script/script_sections.h"
#include "installer/ui/progress_page.h"
#include "platform/platform.h"

namespace rvx::installer {

class InstallApp : public app::Application {
public:
    explicit InstallApp(platform::Platform& platform)
        : platform_(platform), progress_(platform.ui), uninstall_log_(platform.files) {}

    bool InitInstance() override;
    int Run() override;
    int ExitInstance() override;

    // The command-line step: false when an answer file was named but rejected.
    bool ProcessCommandLine();
    // Reads an answer file; true on success. Sets the unattended flag to the result when the
    // file could be opened.
    bool ReadAnswerFile(std::string_view path);
    // Kind 2 asks whether to quit an unfinished installation; true for Yes. Other kinds ask nothing.
    bool ConfirmQuit(int kind);

    void TraceText(std::string_view text) { trace_.Write(text); }

    // A string-table text (from the language library when one is loaded).
    std::string Text(int id);
    // A message box with the installer's caption.
    platform::Answer Message(std::string_view text, platform::Buttons buttons = platform::Buttons::ok,
                             platform::Icon icon = platform::Icon::warning, int default_button = 1);

    platform::Platform& platform() { return platform_; }
    Folders& folders() { return folders_; }
    const Folders& folders() const { return folders_; }
    UserData& user() { return user_; }
    Answers& answers() { return answers_; }
    const Answers& answers() const { return answers_; }
    RunFlags& flags() { return flags_; }
    SourceLayout& layout() { return layout_; }
    const SourceLayout& layout() const { return layout_; }
    CopyState& copy_state() { return copy_state_; }
    const CopyState& copy_state() const { return copy_state_; }
    ProgressPage& progress() { return progress_; }
    uninstall_log::UninstallLog& uninstall_log() { return uninstall_log_; }
    char language() const { return language_; }
    Colours& colours() { return colours_; }
    const Colours& colours() const { return colours_; }
    ScriptSections& script() { return script_; }
    const ScriptSections& script() const { return script_; }
    const Trace& trace() const { return trace_; }

private:
    // The run sequence up to the end step; returns the exit code.
    int RunSequence();
    // The very end of every run: the restart that was accepted, or else the program to start
    // after the installation when the user chose it.
    void FinishRun();
    // The folder the installer runs from; language libraries are loaded only from there.
    std::string ProgramFolder();

    platform::Platform& platform_;
    Folders folders_;
    UserData user_;
    Answers answers_;
    RunFlags flags_;
    SourceLayout layout_;
    CopyState copy_state_;
    ProgressPage progress_;
    uninstall_log::UninstallLog uninstall_log_;
    char language_ = 'F';
    Colours colours_;
    ScriptSections script_;
    Trace trace_;
    bool background_created_ = false;
};

// The name of the debug trace file.
inline constexpr const char* kTraceFilePath = "c:\\install.log";

}  // namespace rvx::installer
