// The network installation: the whole installation set is copied unchanged to a shared folder,
// with the installer also placed there as "Install.exe", and the copied script loses its
// network header so that installations started from the shared folder are ordinary ones.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"

namespace rvx::installer {

class InstallState;
struct Folders;

// The files of the installation set: every file below the medium's folder (the source folder,
// or the folder above it when the installer runs from its "\32\" sub-folder), in a fixed order.
std::vector<std::string> ListInstallSet(platform::FileSystem& files, const Folders& folders);

enum class TransferResult {
    done,
    no_space,    // reported to the user; nothing was copied
    log_failed,  // the uninstall log could not be written; not reported yet
    fatal_stop,  // an undefined variable in the log's name or the default folder; nothing was copied
};

// Copies the listed files below the installation folder.
TransferResult TransferInstallSet(InstallState& app, const std::vector<std::string>& list);

// Removes the network header lines from the script copied to the shared installation folder.
void RewriteCopiedScript(platform::FileSystem& files, const Folders& folders);

}  // namespace rvx::installer
