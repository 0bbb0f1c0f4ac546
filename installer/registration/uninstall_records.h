// The uninstall records the shortcut stage writes for the whole installation before it makes
// any shortcut: files, shared files, forced deletions, registry keys, the warning, the product,
// the installation folder and the program-manager commands.
#pragma once

namespace rvx::installer {

class InstallState;

// Writes them in the order the uninstaller replays them; nothing when the log is not open.
void WriteUninstallRecords(InstallState& app);

}  // namespace rvx::installer
