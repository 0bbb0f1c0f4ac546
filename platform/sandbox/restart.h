// A restart of the simulated machine: what the system does with the replacements programs left
// for its next start, before any program runs. The NT family carries out the pairs of
// PendingFileRenameOperations in order (an empty target deletes, otherwise the file is moved,
// replacing an existing target when the pair asks for it) and deletes the value; the 95 family
// carries out the [Rename] section of WININIT.INI in the Windows folder line by line ("NUL=path"
// deletes path, "target=source" moves source over target) and renames the file to WININIT.BAK.
// The programs that held files open are gone, so machine.ini's files in use are emptied.
// Every action goes to the journal as a RESTART line; one that fails is journaled and the
// others still happen.
#pragma once

#include "platform/result.h"
#include "platform/sandbox/machine.h"

namespace rvx::sandbox {

// Counts of the actions, each of which has its RESTART line in the journal.
struct RestartReport {
    int done = 0;
    int failed = 0;
};

// Fails only when the machine itself cannot be changed (its registry or machine.ini).
platform::Result<RestartReport> RestartMachine(Machine& machine);

}  // namespace rvx::sandbox
