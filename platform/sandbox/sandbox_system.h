// The simulated machine's environment, texts, clock, shell and program manager.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/text/string_table.h"
#include "platform/language_library.h"
#include "platform/platform.h"
#include "platform/translated_dialogs.h"
#include "platform/sandbox/journal.h"
#include "platform/sandbox/machine_config.h"

namespace rvx::sandbox {

class SandboxEnvironment : public platform::Environment {
public:
    SandboxEnvironment(const MachineConfig& config, std::string program_path, std::string command_line)
        : config_(config), program_path_(std::move(program_path)), command_line_(std::move(command_line)) {}
    platform::OsVersion Version() override { return config_.version; }
    std::string WindowsFolder() override { return config_.windows_folder; }
    std::string SystemFolder() override { return config_.system_folder; }
    std::string TempFolder() override;
    std::optional<std::string> Variable(std::string_view name) override;
    std::string ProgramPath() override { return program_path_; }
    std::string CommandLine() override { return command_line_; }

private:
    const MachineConfig& config_;
    std::string program_path_;
    std::string command_line_;
};

// Built-in texts and dialogs, and the language library the program asks for (journaled): the
// library's file is read as the system would load it, its string table and dialog templates
// by the portable resource reader. A library that cannot be read is not used at all.
class SandboxResources : public platform::Resources {
public:
    SandboxResources(std::span<const text::StringEntry> built_in,
                     std::span<const platform::DialogDescription* const> built_in_dialogs, platform::FileSystem& files,
                     Journal& journal)
        : built_in_(built_in), built_in_dialogs_(built_in_dialogs), files_(files), journal_(journal) {}
    platform::Outcome UseLanguageLibrary(std::string_view full_path) override;
    std::optional<std::string> Text(int id) override;
    const platform::DialogDescription& Dialog(const platform::DialogDescription& built_in) override;

private:
    std::span<const text::StringEntry> built_in_;
    std::span<const platform::DialogDescription* const> built_in_dialogs_;
    platform::FileSystem& files_;
    Journal& journal_;
    std::optional<platform::LanguageLibrary> library_;
    platform::TranslatedDialogs dialogs_;
};

// The machine's own clock: sleeping advances it at once, so long waits cost no real time.
class SandboxClock : public platform::Clock {
public:
    void Sleep(uint32_t milliseconds) override { now_ += milliseconds; }
    uint64_t Milliseconds() override { return now_; }

private:
    uint64_t now_ = 0;
};

// A batch file the program opened: the machine runs it once the program has ended
// (ProgramSession), in the folder it was opened with.
struct OpenedBatch {
    std::string path;
    std::string folder;
};

class SandboxProcesses;

// The special folders are those of machine.ini's [folders]; shortcut files are written through
// the machine's files (sandbox_shortcut.cpp); opening documents and web addresses
// (sandbox_open_document.cpp) goes through the associations of the machine's registry, journals
// an OPEN line and keeps the batch files opened.
class SandboxShell : public platform::Shell {
public:
    SandboxShell(const MachineConfig& config, platform::FileSystem& files, platform::Registry& registry,
                 SandboxProcesses& programs, Journal& journal)
        : config_(config), files_(files), registry_(registry), programs_(programs), journal_(journal) {}
    platform::Result<std::string> SpecialFolderPath(platform::SpecialFolder folder) override;
    platform::Outcome CreateShortcut(const platform::ShortcutSpec& shortcut) override;
    platform::Outcome OpenDocument(std::string_view target, std::string_view parameters, std::string_view folder,
                                   platform::ShowState show) override;
    platform::ShellCode Execute(platform::ShellVerb verb, std::string_view target, platform::ShowState show) override;
    const std::vector<OpenedBatch>& opened_batches() const { return opened_batches_; }

private:
    platform::ShellCode Open(std::string_view target, std::string_view parameters, std::string_view folder,
                             platform::ShowState show);
    // Journals the opening of target with the command registered for type_key (fields so far given).
    platform::ShellCode OpenThroughAssociation(std::string_view type_key, std::string_view target,
                                               std::vector<std::string>& fields);

    const MachineConfig& config_;
    platform::FileSystem& files_;
    platform::Registry& registry_;
    SandboxProcesses& programs_;
    Journal& journal_;
    std::vector<OpenedBatch> opened_batches_;
};

// Each command to the program manager is journaled (PROGMAN) and succeeds: the machine has no
// program groups of its own to change.
class SandboxProgramManager : public platform::ProgramManager {
public:
    explicit SandboxProgramManager(Journal& journal) : journal_(journal) {}
    platform::Outcome Execute(std::string_view command) override;

private:
    Journal& journal_;
};

}  // namespace rvx::sandbox
