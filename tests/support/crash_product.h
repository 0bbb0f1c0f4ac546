// The product the crash tests install and remove: a few hundred small files in four folders, a
// shared library, an uninstall entry, registry keys and a shortcut; and the comparison of a
// machine's state before the installation and after the removal.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace rvx::test_support {

inline constexpr int kCrashFiles = 240;
inline constexpr const char* kCrashFolder = "C:\\Program Files\\Crash";
inline constexpr const char* kCrashLog = "C:\\Program Files\\Crash\\crash.nvu";
inline constexpr const char* kCrashUninstaller = "C:\\Program Files\\Crash\\Dismara.exe";

// Writes the medium into folder: Install.ini, the answer file unattended.ANS and the files.
// With big_file_bytes, one large file is installed after the small ones.
void WriteCrashMedium(const std::filesystem::path& folder, uint64_t big_file_bytes = 0);

// Every file and folder of the machine's drives with its content, its registry and the kept
// attributes.
std::map<std::string, std::string> MachineState(const std::filesystem::path& machine_folder);
// What differs between two states, one line each ("+ name", "- name", "~ name").
std::string StateDifferences(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after);

}  // namespace rvx::test_support
