// The registry editor's text format ("Windows Registry Editor Version 5.00"), in which the
// simulated machine keeps its registry: reading it into a tree and writing a tree back.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/result.h"
#include "platform/sandbox/registry_tree.h"

namespace rvx::sandbox {

// Reads a registry file. Errors are invalid_argument with a detail naming file_name and the line.
// Accepts "REGEDIT4" files, CRLF or LF line ends, a UTF-16LE file with its byte-order mark (when
// every character fits in 8 bits), comments, continued hex lines, "[-key]" and "name"=- deletions.
// Keys and value names beyond Windows' limits (see registry_tree.h) are errors, which also keeps
// any input from building a tree too deep to walk.
platform::Result<RegistryTree> ParseRegistryFile(std::string_view text, std::string_view file_name);

// Writes the whole tree, every key (also empty ones) in name order, with CRLF line ends.
std::string FormatRegistryFile(const RegistryTree& tree);

// The lines that, appended to a registry file, make one change again when the file is read: a key
// made, a value written or deleted (value nullptr), a key deleted with everything below it.
// Each begins with a line end, so that they follow a whole file or one another.
std::string FormatKeyRecord(platform::RootKey root, std::string_view subkey);
std::string FormatValueRecord(platform::RootKey root, std::string_view subkey, std::string_view name,
                              const platform::RegValue* value);
std::string FormatKeyDeletionRecord(platform::RootKey root, std::string_view subkey);

// One entry per key ("[HKEY_...\key]") and per value ("[HKEY_...\key] "name"") with its value as
// the file writes it: what `simmachine diff` compares.
platform::Result<std::map<std::string, std::string>> RegistryFileLines(std::string_view text, std::string_view file_name);

}  // namespace rvx::sandbox
