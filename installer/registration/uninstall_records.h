// The uninstall records the shortcut stage writes for the whole installation before it makes
// any shortcut: files, shared files, forced deletions, registry keys, the warning, the product,
// the installation folder and the program-manager commands.
#pragma once

#include <string>
#include <string_view>

#include "common/uninstall_log/uninstall_log.h"
#include "installer/core/state/trace.h"
#include "installer/script/expansion.h"
#include "installer/script/variables.h"

namespace rvx::installer {

// Writes them in the order the uninstaller replays them; nothing when the log is not open. An
// undefined variable in a line stops the writing before that line's record.
Completion WriteUninstallRecords(const ExpansionSources& sources, uninstall_log::UninstallLog& log, Trace& trace);

// Records the registry line's key for removal, unless its key has an empty component (a
// variable or registry reference that gave nothing): "Software\" + nothing would name the
// parent, which is not the product's. A line left out is traced.
void RecordRegistryKeyToRemove(uninstall_log::UninstallLog& log, Trace& trace, const std::string& line);
// True when the key of a [REGISTRYUNINSTALL] line (root, key) is empty or has an empty part, as a
// key built from a missing value comes out: such a key is never recorded for removal, since the
// uninstaller would delete everything below the part before it.
bool KeyToRemoveHasEmptyPart(std::string_view line);

}  // namespace rvx::installer
