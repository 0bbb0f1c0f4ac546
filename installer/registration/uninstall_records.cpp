// The uninstall records of a whole installation, in the order the uninstaller replays them.
#include "installer/registration/uninstall_records.h"

#include <string>
#include <vector>

#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/script/file_entry.h"
#include "installer/script/conditions.h"
#include "installer/script/variables.h"

namespace rvx::installer {

namespace {

// The registry reference the uninstaller reads to decide on the warning: the value of the last
// NAME=VALUE line of the user variables (the lines the expansion of the condition walked), as
// written, so that a "$root,key,value" reference stays a reference; one leading and one trailing
// double quote removed.
std::string WarningReference(const TextList& user_variables) {
    std::string reference;
    for (const std::string& line : user_variables) {
        const std::vector<std::string> fields = text::SplitFields(line, "=");
        if (fields.size() != 2) continue;
        std::string_view value = fields[1];
        if (!value.empty() && value.front() == '"') value.remove_prefix(1);
        if (!value.empty() && value.back() == '"') value.remove_suffix(1);
        reference = value;
    }
    return reference;
}

bool IsFullPath(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') || path.starts_with("\\\\");
}

// A [FORCEDELETE] line names a file or a pattern relative to the installation folder, folders
// included ("logs\*.log" is in "logs"); a line that spells out a whole path stands as written.
std::string ForcedDeletePath(const std::string& installation, const std::string& line) {
    if (IsFullPath(line)) return line;
    return installation + std::string(path::TrimBackslashes(line));
}

Completion RecordFiles(const ExpansionSources& sources, uninstall_log::UninstallLog& log) {
    for (const std::string& line : sources.script.files) {
        if (IsDiskMarker(line)) continue;
        const OrStop<FileEntry> parsed = ParseFileLine(sources, line);
        if (parsed.stopped()) return parsed.stop();
        const FileEntry& entry = *parsed;
        if (entry.keep_on_uninstall) continue;
        if (entry.shared_file) {
            log.RecordSharedFile("", entry.dest_path);
        } else {
            log.RecordFilePath(entry.dest_path);
        }
        // The shortcut the copy made beside the examples, so that the uninstaller finds it.
        if (entry.example_link) {
            const Expansion shortcut = ExampleShortcutPath(sources, entry);
            if (shortcut.stopped()) return shortcut.stop();
            log.RecordFilePath(*shortcut + ".lnk");
        }
    }
    return Completion::Done();
}

Completion RecordWarning(const ExpansionSources& sources, uninstall_log::UninstallLog& log) {
    const ScriptSections& script = sources.script;
    if (script.uninstall_message.empty()) return Completion::Done();
    std::string reference;
    if (!script.uninstall_message_condition.empty()) {
        // Only for its expansion (an undefined variable still stops the installer here); the
        // uninstaller decides on the warning itself.
        const OrStop<bool> holds = EvaluateComparison(sources, script.uninstall_message_condition);
        if (holds.stopped()) return holds.stop();
        reference = WarningReference(script.user_variables.lines());
    }
    // Each script line ends in a line feed; the last one would only add an empty line.
    std::string_view message = script.uninstall_message;
    if (message.back() == '\n') message.remove_suffix(1);
    log.RecordWarning("\"" + reference + "\", " + sources.folders.installation, message);
    return Completion::Done();
}

}  // namespace

bool KeyToRemoveHasEmptyPart(std::string_view line) {
    const std::vector<std::string> fields = text::SplitFields(line, ",");
    const std::string_view key = fields.size() > 1 ? std::string_view(fields[1]) : std::string_view();
    bool empty_component = key.empty();
    for (size_t start = 0; start <= key.size() && !empty_component;) {
        size_t end = key.find('\\', start);
        if (end == std::string_view::npos) end = key.size();
        if (text::TrimBlanks(key.substr(start, end - start)).empty()) empty_component = true;
        start = end + 1;
    }
    return empty_component;
}

void RecordRegistryKeyToRemove(uninstall_log::UninstallLog& log, Trace& trace, const std::string& line) {
    if (KeyToRemoveHasEmptyPart(line)) {
        trace.Write("Registry key not recorded for removal, a part of it is empty: " + line + "\n");
        return;
    }
    log.RecordRegistryKey(line);
}

Completion WriteUninstallRecords(const ExpansionSources& sources, uninstall_log::UninstallLog& log, Trace& trace) {
    if (!log.is_open()) return Completion::Done();
    const ScriptSections& script = sources.script;

    if (Completion recorded = RecordFiles(sources, log); recorded.stopped()) return recorded;
    const std::string installation = path::AddTrailingBackslash(sources.folders.installation);
    for (const std::string& line : script.force_delete) {
        const Expansion expanded = Expanded(sources, line);
        if (expanded.stopped()) return expanded.stop();
        log.RecordFilePath(ForcedDeletePath(installation, *expanded));
    }
    for (const std::string& line : script.registry_uninstall) {
        const Expansion expanded = Expanded(sources, line);
        if (expanded.stopped()) return expanded.stop();
        RecordRegistryKeyToRemove(log, trace, *expanded);
    }
    if (Completion recorded = RecordWarning(sources, log); recorded.stopped()) return recorded;
    log.RecordProduct(SubstituteDisplayText(script, script.product_name));
    log.RecordInstallFolder(sources.folders.installation);
    for (const std::string& line : script.uninstall_commands) log.RecordCommand("[" + SubstituteDisplayText(script, line) + "]");
    const TextList& pairs = script.uninstall_commands_conditional;
    for (size_t first = 0; first + 1 < pairs.size(); first += 2) {
        // The condition before the command, so that the variable reported does not depend on
        // the compiler's order of evaluating arguments.
        const Expansion condition = Expanded(sources, pairs[first]);
        if (condition.stopped()) return condition.stop();
        const Expansion command = Expanded(sources, pairs[first + 1]);
        if (command.stopped()) return command.stop();
        log.RecordConditionalCommand(*condition, "[" + *command + "]");
    }
    return Completion::Done();
}

}  // namespace rvx::installer
