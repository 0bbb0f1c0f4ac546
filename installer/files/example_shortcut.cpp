// The examples-folder shortcut of a copied file: the shortcut writer names the file
// "<name>.lnk" in the examples folder and records it for the uninstaller.
#include "installer/files/example_shortcut.h"

#include "installer/core/state/install_state.h"
#include "installer/registration/shortcuts.h"
#include "installer/script/folder_operations.h"
#include "installer/script/variables.h"

namespace rvx::installer {

void CreateExampleShortcut(InstallState& app, const FileEntry& entry) {
    const std::string shortcut = ExampleShortcutPath(app, entry);
    (void)CreateFolderPath(app.platform().files, Expanded(app, "%EXEMPLEPATH%\\"));
    (void)CreateShortcut(app, entry.dest_path, shortcut, "", "");
}

}  // namespace rvx::installer
