// The installation-folder step that runs before the wizard.
#include "installer/core/installation_folder.h"

#include <cstddef>
#include <string>

#include "common/text/path_helpers.h"
#include "installer/core/install_app.h"
#include "installer/script/previous_installation.h"

namespace rvx::installer {

std::string OlderInstallationFolder(InstallApp& app) {
    const TextList& lines = app.script().old_dir;
    // A folder alone proves nothing: only the product's own files mark an older installation.
    if (lines.size() < 2) return {};
    for (size_t i = 1; i < lines.size(); ++i)
        if (!platform::Exists(app.platform().files, path::Join(lines[0], lines[i]))) return {};
    return lines[0];
}

CheckResult SettleInstallationFolder(InstallApp& app) {
    Folders& folders = app.folders();
    folders.installation = folders.default_folder;
    if (std::string older = OlderInstallationFolder(app); !older.empty()) folders.installation = older;

    // The search shows its own window while it looks.
    if (LocatePreviousInstallation(app).stopped()) return CheckResult::fatal_stop;

    if (folders.installation.empty() && app.flags().publisher_update) {
        std::string message;
        for (const auto& line : app.script().publisher_error_text) {
            if (!message.empty()) message += "\n";
            message += line;
        }
        app.Message(message, platform::Buttons::ok, platform::Icon::stop);
        return CheckResult::stop;
    }

    app.TraceText("Destination Path = \"" + folders.installation + "\n");
    folders.installation_copy = folders.installation;
    // No folder, no drive: the space checks then find no drive to measure rather than a wrong one.
    folders.installation_drive_root = folders.installation.empty() ? std::string()
                                                                   : std::string(1, folders.installation[0]) + ":\\";
    return CheckResult::go_on;
}

}  // namespace rvx::installer
