// The examples-folder shortcut of a copied file. The installer's shortcut writer (which names the
// file "<name>.lnk" and records it for the uninstaller) is not part of the installer yet; until it
// is, nothing is written or recorded and the trace says so.
#include "installer/files/example_shortcut.h"

#include "installer/core/install_app.h"
#include "installer/script/folder_operations.h"
#include "installer/script/variables.h"

namespace rvx::installer {

void CreateExampleShortcut(InstallApp& app, const FileEntry& entry) {
    const std::string folder = Expanded(app, "%EXEMPLEPATH%\\");
    (void)CreateFolderPath(app.platform().files, folder);
    app.TraceText("Example shortcut not created (the shortcut writer is not available yet): " + folder + entry.relative_name +
                  ".lnk -> " + entry.dest_path + "\n");
}

}  // namespace rvx::installer
