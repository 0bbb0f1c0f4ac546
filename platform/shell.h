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
};

}  // namespace rvx::platform
