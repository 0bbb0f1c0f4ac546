// The final commands and the registry lines that replace them before a restart.
#include "installer/actions/final_commands.h"

#include <optional>

#include "common/text/field_splitter.h"
#include "installer/core/state/install_state.h"
#include "installer/registration/registry_lines.h"
#include "installer/script/variables.h"

namespace rvx::installer {

OrStop<std::optional<FinalCommand>> ParseFinalCommand(const ExpansionSources& sources, std::string_view line) {
    const auto fields = text::SplitFields(line, ",");
    if (fields.empty()) return std::optional<FinalCommand>();
    FinalCommand command;
    if (fields.size() >= 2) {
        Expansion folder = Expanded(sources, fields[1]);
        if (folder.stopped()) return folder.stop();
        command.working_folder = std::move(*folder);
    }
    std::string arguments;
    if (fields.size() >= 4) {
        Expansion expanded = Expanded(sources, fields[3]);
        if (expanded.stopped()) return expanded.stop();
        arguments = std::move(*expanded);
    }
    command.wait = fields.size() >= 3 && !fields[2].empty() && (fields[2][0] == 'W' || fields[2][0] == 'w');
    const Expansion expanded_program = Expanded(sources, fields[0]);
    if (expanded_program.stopped()) return expanded_program.stop();
    const std::string program = SubstituteDisplayText(sources.script, *expanded_program);
    // An empty arguments field adds nothing: an empty quoted argument would reach the program
    // as an argument of its own.
    command.command_line = arguments.empty() ? program : "\"" + program + "\" \"" + arguments + "\"";
    return std::optional<FinalCommand>(std::move(command));
}

Completion RunFinalCommands(const ExpansionSources& sources, const RunFlags& flags, platform::Platform& platform) {
    if (flags.restart) {
        for (const std::string& line : sources.script.registry_restart)
            if (Completion applied = ApplyExpandedRegistryLine(sources, platform.registry, line); applied.stopped())
                return applied;
        return Completion::Done();
    }
    platform::Processes& processes = platform.processes;
    for (const std::string& line : sources.script.final_commands) {
        const auto parsed = ParseFinalCommand(sources, line);
        if (parsed.stopped()) return parsed.stop();
        const std::optional<FinalCommand>& command = *parsed;
        if (!command) continue;
        // A folder that cannot be made current leaves the current one as it was.
        if (!command->working_folder.empty()) (void)platform.files.SetCurrentFolder(command->working_folder);
        if (command->wait) {
            (void)StartAndWait(processes, command->command_line, platform::ShowState::normal);
        } else {
            (void)processes.Start(platform::StartRequest{command->command_line, {}, platform::ShowState::normal});
        }
    }
    return Completion::Done();
}

bool StartAndWait(platform::Processes& processes, std::string_view command_line, platform::ShowState show) {
    // The platform keeps the windows painted and drops their input while it waits; the
    // installer has nothing of its own to do meanwhile.
    auto ended = processes.StartAndWait(platform::StartRequest{std::string(command_line), {}, show}, {});
    return ended.ok();
}

}  // namespace rvx::installer
