// The shell: special folders, shortcut files and opening documents or web addresses.
#pragma once

#include <string>
#include <string_view>

#include "platform/result.h"

namespace rvx::platform {

enum class SpecialFolder {
    programs,             // the user's Start-menu Programs
    common_programs,      // all users' Start-menu Programs
    desktop,              // the user's desktop folder
    common_desktop,       // all users' desktop folder
    start_menu,
    common_start_menu,
    startup,
    fonts,
    personal,             // My Documents
};

enum class ShowState { normal, hidden, minimized, maximized };

// The shell's own answer to opening something: above 32 the target was opened; 32 or below is
// one of the shell's documented error codes (0 out of memory, 2 file not found, 26 sharing
// violation, 31 no program associated, ...), which the user is told about by code.
inline constexpr int kLastShellError = 32;
struct ShellCode {
    int value = 0;
    bool opened() const { return value > kLastShellError; }
};

// The shell's error codes the system itself produces when opening fails.
namespace shell_code {
inline constexpr int out_of_memory = 0;
inline constexpr int file_not_found = 2;
inline constexpr int path_not_found = 3;
inline constexpr int access_denied = 5;
inline constexpr int bad_format = 11;
inline constexpr int sharing_violation = 26;
inline constexpr int no_association = 31;
inline constexpr int opened = kLastShellError + 1;  // the least success value, for an answer that has no code of its own
}  // namespace shell_code

// The verb to open with: the target type's default one, or "open".
enum class ShellVerb { default_verb, open };

struct ShortcutSpec {
    std::string link_path;       // the .lnk file to write
    std::string target;          // the program or document it starts
    std::string arguments;
    std::string working_folder;
    std::string description;
    std::string icon_path;
    int icon_index = 0;
    ShowState show = ShowState::normal;
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual Result<std::string> SpecialFolderPath(SpecialFolder folder) = 0;
    virtual Outcome CreateShortcut(const ShortcutSpec& shortcut) = 0;
    // Opens a document, folder or web address with its associated program.
    virtual Outcome OpenDocument(std::string_view target, std::string_view parameters, std::string_view folder,
                                 ShowState show) = 0;
    // Opens a target with a verb and no parameters, in the current folder, answering as the
    // shell does (the hyperlinks and the final page's web button need its code).
    virtual ShellCode Execute(ShellVerb verb, std::string_view target, ShowState show) = 0;
};

}  // namespace rvx::platform
