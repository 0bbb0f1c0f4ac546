// The install state: folders, user data, answers, flags, source layout and script storage that
// every stage of the installer reads and writes, and the object that holds them all. It belongs
// to the one InstallApp object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/uninstall_log/uninstall_log.h"
#include "installer/core/state/script_sections.h"
#include "installer/core/state/trace.h"
#include "installer/ui/progress_page.h"
#include "platform/platform.h"
#include "platform/result.h"

namespace rvx::installer {

struct Folders {
    std::string source;                 // folder of the running installer, upper case, ends in "\"
    std::string script_path;            // full path of the install script; empty until it is located
    std::string default_folder;         // proposed installation folder
    std::string installation;           // where the software goes
    std::string installation_copy;      // the same folder as set by the previous-installation step
    std::string installation_drive_root;  // "C:\"
    std::string previous_installation;  // an earlier installation found by the search
    std::string documents;              // folder for the user's documents, "%WRKPATH%"
    std::string program_files;          // the system's program files folder
    std::string windows_drive;          // "C:"
    std::string source_drive;           // drive letter of the source folder, shown in the disk prompt
    std::string installed_version;      // version text of an earlier installation
};

struct UserData {
    std::string name;
    std::string company;
};

struct Answers {
    bool unattended = false;            // an answer file was read successfully
    int install_mode = 0;               // stored, not used
    int desktop_shortcut_answer = 0;    // non-zero asks for the desktop shortcuts
    std::string folder;                 // installation folder from the answer file
    std::string documents_folder;
    std::string name;
    std::string company;
    bool desktop_shortcut_choice = false;  // the success page's check box or the answer
    bool launch_choice = false;            // the success page's "[AUTOLAUNCH]" check box
};

struct RunFlags {
    bool update = false;
    bool patch = false;
    bool install_over = false;
    bool install_over_companion = false;
    bool no_same_version_question = false;
    bool network_install = false;
    bool no_search = false;
    bool administrator_rights = false;
    bool nt_only = false;
    bool no_windows_95 = false;
    bool allow_version_update = false;
    bool publisher_update = false;
    bool desktop_shortcut_on = false;
    bool restart = false;
    bool restart_now = false;  // the restart was accepted: the computer restarts at the very end
};

// The run flags a reading of the script raises: the flag sections' headers, the [NETINSTALL],
// [NOVERSIONIDEM] and [PATCH] headers and any [KESTRAUPDATE] line. A reading never clears a
// flag; ApplyScriptFlags sets the raised ones in the run flags.
struct ScriptFlags {
    bool allow_version_update = false;
    bool administrator_rights = false;
    bool restart = false;
    bool nt_only = false;
    bool no_windows_95 = false;
    bool install_over = false;
    bool no_search = false;
    bool desktop_shortcut_on = false;
    bool network_install = false;
    bool no_same_version_question = false;
    bool patch = false;
    bool publisher_update = false;
};

// A message box with the installer's caption (string 57344), as every installer message is shown.
platform::Answer ShowInstallerMessage(platform::UserInterface& ui, platform::Resources& resources, std::string_view text,
                                      platform::Buttons buttons = platform::Buttons::ok,
                                      platform::Icon icon = platform::Icon::warning, int default_button = 1);

// Raises in flags every flag the reading raised; the others keep their values.
void ApplyScriptFlags(RunFlags& flags, const ScriptFlags& read);

struct SourceLayout {
    bool hard_disk_layout = false;  // the source folder contains "\_DISK_1\"
    bool disk_folder_layout = false;  // the source folder contains "\DISK1\"
    bool removable = false;           // on A: or B:, or either layout
};

// Where the copy stage stands: source disks, byte totals for the progress bars, the file being
// copied, and what it hands on to later stages.
struct CopyState {
    int disk_count = 1;
    int current_disk = 0;          // 1-based disk group being copied; 0 before the first one
    int64_t group_bytes_total = 0; // expanded bytes of the current disk group
    int64_t group_bytes_done = 0;
    std::string current_file;      // destination of the file being copied, for messages
    std::vector<std::string> fonts_already_present;  // font files the same-font rule skipped
    // The last file operation of the copy that failed, which picks the reason shown with a failure.
    platform::Status last_failure = platform::Status::ok;
};

struct Colours {
    int red = 0;
    int green = 0;
    int blue = 255;
};

// What the confirm-quit question asks: the pages and the disk prompt ask whether to quit an
// unfinished installation; any other kind asks nothing and answers No.
enum class QuitQuestion { none = 0, not_finished = 2 };

// The install state as a whole: what the stages read and write, with the texts, messages and
// trace they report through. The stages take it (or the parts of it they use) instead of the
// application object; InstallApp, the one application object, owns it for the whole run.
class InstallState {
public:
    explicit InstallState(platform::Platform& platform)
        : platform_(platform), progress_(platform.ui), uninstall_log_(platform.files) {}
    InstallState(const InstallState&) = delete;
    InstallState& operator=(const InstallState&) = delete;

    // Asks whether to quit an unfinished installation; true for Yes. QuitQuestion::none asks
    // nothing and gives false.
    bool ConfirmQuit(QuitQuestion kind);

    void TraceText(std::string_view text) { trace_.Write(text); }
    // A page that cannot be shown cannot be answered either: the run stops as on Cancel, but
    // ends with the code that says this build could not show it, not that the user cancelled.
    void NotePageNotShown(int dialog_id, const platform::Error& error);
    bool page_not_shown() const { return page_not_shown_; }

    // A string-table text (from the language library when one is loaded).
    std::string Text(int id);
    // A message box with the installer's caption.
    platform::Answer Message(std::string_view text, platform::Buttons buttons = platform::Buttons::ok,
                             platform::Icon icon = platform::Icon::warning, int default_button = 1);

    platform::Platform& platform() { return platform_; }
    Folders& folders() { return folders_; }
    const Folders& folders() const { return folders_; }
    UserData& user() { return user_; }
    const UserData& user() const { return user_; }
    Answers& answers() { return answers_; }
    const Answers& answers() const { return answers_; }
    RunFlags& flags() { return flags_; }
    const RunFlags& flags() const { return flags_; }
    SourceLayout& layout() { return layout_; }
    const SourceLayout& layout() const { return layout_; }
    CopyState& copy_state() { return copy_state_; }
    const CopyState& copy_state() const { return copy_state_; }
    ProgressPage& progress() { return progress_; }
    uninstall_log::UninstallLog& uninstall_log() { return uninstall_log_; }
    // Tells the user that the uninstall log could not be written; returns the exit code of a
    // failed installation.
    int ReportUninstallLogFailure();
    char language() const { return language_; }
    Colours& colours() { return colours_; }
    const Colours& colours() const { return colours_; }
    ScriptSections& script() { return script_; }
    const ScriptSections& script() const { return script_; }
    Trace& trace() { return trace_; }
    const Trace& trace() const { return trace_; }

protected:
    ~InstallState() = default;

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
    bool page_not_shown_ = false;
};

}  // namespace rvx::installer
