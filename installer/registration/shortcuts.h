// Shortcuts and program groups: shortcut files in the Programs menu for [ICONS], on the desktop
// for [DESKTOPICON] and in the examples folder for example files, the program-group folders
// they need, and the removal of older versions' shortcuts named in [DELETEOLDITEMS]. Every
// shortcut is recorded in the uninstall log, every group folder listed for removal.
#pragma once

#include <string_view>

#include "installer/script/expansion.h"
#include "platform/files.h"
#include "platform/result.h"

namespace rvx::installer {

class InstallState;

// The results of MakeFolderChain.
enum class FolderChainResult {
    created,        // missing folders were created
    was_folder,     // the path was an existing folder
    is_file,        // the path, or a folder along it, is an existing file
    access_denied,  // a folder could not be created for lack of rights
    failed,         // a folder could not be created for another reason
};

// Makes every missing folder of path, one level after the other; a final "\" is ignored and a
// drive ("C:") is taken as existing.
FolderChainResult MakeFolderChain(platform::FileSystem& files, std::string_view path);

// Creates the shortcut file shortcut_path + ".lnk" to target through the shell. The folder that
// holds it must exist. A failed save shows "IPersistFile->Save() Error" (a shell without its
// link object fails silently); either way the shortcut is recorded in the uninstall log. A path
// that would leave the folder it spells out (".." components, characters no name can hold, a
// device name) is refused with the same message and is not recorded.
platform::Outcome CreateShortcut(InstallState& app, std::string_view target, std::string_view shortcut_path,
                                 std::string_view description, std::string_view working_folder);

// The shortcut stage: shows "Creating icons", writes the uninstall records of the installation
// (uninstall_records.h), removes the [DELETEOLDITEMS] shortcuts and creates the [ICONS] groups
// and shortcuts. The run sequence calls it after the fonts unless the patch flag is set: a patch
// neither opens the uninstall log nor adds shortcuts. An undefined variable in a line stops the
// stage before anything of that line is done.
Completion RunShortcutStage(InstallState& app);

// The [DESKTOPICON] shortcuts, in groups of three lines after the first one (name, target,
// working folder; "$" for none); an incomplete last group is ignored. The run sequence calls it
// only when the desktop-shortcut choice is on.
Completion CreateDesktopShortcuts(InstallState& app);

}  // namespace rvx::installer
