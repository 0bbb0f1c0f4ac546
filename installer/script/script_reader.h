// Reading the install script: locating "Install.ini" (beside the installer, else in its "32\"
// folder), cleaning its lines, the "#if" / "#else" / "#endif" directives, section headers with
// language suffixes, the end marker, the required-section check and the working folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "installer/core/state/install_state.h"
#include "installer/script/expansion.h"
#include "installer/script/section_catalogue.h"

namespace rvx::installer {

// Follows a reading line by line, for the script checker: the installer itself never names a
// line, but whatever it shows while a line is handled belongs to that line.
class ScriptReadWatcher {
public:
    virtual ~ScriptReadWatcher() = default;
    // Before the line with this number (counted from 1) is handled; cleaned as the reader sees it.
    virtual void AtLine(int number, std::string_view cleaned) = 0;
    // The line opened this section (flag sections included).
    virtual void Opened(Section) {}
    // The line is a header of no known section: of this language (the reading fails), of another
    // language (its lines are ignored) or without a language (its lines are ignored).
    enum class UnknownHeader { this_language, other_language, no_language };
    virtual void Unknown(UnknownHeader) {}
    // The line was handed to the section's handler.
    virtual void Stored(Section) {}
    // The line was dropped unread in a block a directive skips.
    virtual void Skipped() {}
};

// Reads the whole script into the install state's script storage and returns the run flags it
// raised, which the run sequence applies (ApplyScriptFlags); nothing after the reason has been
// shown, and the stop for an undefined variable in a text the reading expands. Every reading
// starts afresh, so the script can be read again later in the same run.
// A watcher, when given, follows every line.
OrStop<std::optional<ScriptFlags>> ReadScript(InstallState& app, ScriptReadWatcher* watcher = nullptr);

// Cuts a line at its first ";" and removes leading and trailing spaces (tabs stay).
std::string CleanLine(std::string_view line);

}  // namespace rvx::installer
