// What a new simulated machine holds besides its description: the folders a fresh system has
// and the registry values that point at them, and the programs its file types open with.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sandbox/machine_config.h"

namespace rvx::sandbox {

// Windows paths of the folders a fresh system has, parents before children.
std::vector<std::string> DefaultFolders(const MachineConfig& config);

// The programs a fresh system has, as Windows paths of empty files: the web browser registered
// for web pages and the text editor registered for text files (WriteDefaultRegistry).
std::vector<std::string> DefaultPrograms(const MachineConfig& config);

// Writes the registry values a fresh system has for its folders and version.
platform::Outcome WriteDefaultRegistry(platform::Registry& registry, const MachineConfig& config);

}  // namespace rvx::sandbox
