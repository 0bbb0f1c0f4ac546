// File-type associations on the simulated machine, read from its registry as the system's shell
// reads them: HKEY_CLASSES_ROOT\<type> (".htm", ".txt") names the file type in its default value,
// and the default value of the type's "shell\open\command" key is the command line that opens it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace rvx::sandbox {

// The open command registered for a type key such as ".htm"; nothing when the type or its open
// command is not registered.
std::optional<std::string> OpenCommandOf(platform::Registry& registry, std::string_view type_key);

// The command line the system runs to open target with a registered command: every "%1" and
// "%L" stands for the target; a command naming neither gets a blank and the target appended.
std::string CommandLineFor(std::string_view command, std::string_view target);

// The type key of a file name: its extension with the dot (".txt"); empty when it has none.
std::string TypeKeyOf(std::string_view file_name);

}  // namespace rvx::sandbox
