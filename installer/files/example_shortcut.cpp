// The examples-folder shortcut of a copied file: the shortcut writer names the file
// "<name>.lnk" in the examples folder and records it for the uninstaller.
#include "installer/files/example_shortcut.h"

#include "installer/core/state/install_state.h"
#include "installer/registration/shortcuts.h"
#include "installer/script/folder_operations.h"
#include "installer/script/variables.h"

namespace rvx::installer {

Completion CreateExampleShortcut(InstallState& app, const FileEntry& entry) {
    const Expansion shortcut = ExampleShortcutPath(app, entry);
    if (shortcut.stopped()) return shortcut.stop();
    const Expansion folder = Expanded(app, "%EXEMPLEPATH%\\");
    if (folder.stopped()) return folder.stop();
    (void)CreateFolderPath(app.platform().files, *folder);
    (void)CreateShortcut(app, entry.dest_path, *shortcut, "", "");
    return Completion::Done();
}

}  // namespace rvx::installer
