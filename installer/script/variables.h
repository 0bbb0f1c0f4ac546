// Variables of the install script: expansion of "%NAME%" references in script texts, the
// named values of [SYSSTRINGS], the registry value reader shared by several sections,
// [READREGISTRY], and the substitutions made in texts shown to the user.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "installer/core/state/install_state.h"
#include "installer/script/expansion.h"
#include "platform/platform.h"

namespace rvx::installer {

// What expanding a text reads: the script's user variables, examples folder and version, the
// install folders, the user's data, and the machine's folders and registry ("$" values); and
// the user interface the stop for an undefined variable is shown on. Every stage that holds the
// install state expands through it.
struct ExpansionSources {
    ExpansionSources(InstallState& state);  // implicit: Expanded(state, text)

    const ScriptSections& script;
    const Folders& folders;
    const UserData& user;
    platform::Environment& environment;
    platform::FileSystem& files;  // asked whether the Windows folder has its "Fonts" folder
    platform::Registry& registry;
    platform::UserInterface& ui;
    platform::Resources& resources;
};

// Expands every variable of text, in the installer's fixed order. An undefined variable left
// in the result is shown in the fatal-error box and gives the stop instead of the text.
Expansion Expanded(const ExpansionSources& sources, std::string_view text);
// The same on text where it stands; on a stop, text holds what the expansion had made of it.
std::optional<FatalStop> ExpandInPlace(const ExpansionSources& sources, std::string& text);

// A text shown to the user (the title, captions, page texts): expanded, then "%VERSION" and
// "%PATCH" substituted. The markers are not undefined variables, even at the text's end.
Expansion ExpandedDisplayText(const ExpansionSources& sources, std::string_view text);

// The value of the NAME=VALUE line of list whose name, between percent signs, is name
// ("%INSTALLDIR%"), without one leading and one trailing double quote; empty when none.
std::string LookUpNamedValue(const TextList& list, std::string_view name);

// Reads the value named by "root, subkey, value name"; nothing when that text is
// malformed, the root unknown, or the key or value cannot be read.
std::optional<std::string> ReadRegistrySpecification(platform::Registry& registry, std::string_view specification);

// Turns the [READREGISTRY] groups into user variables; a group whose value and default are both
// missing makes its third line the pending start error. Stops at the first undefined variable.
Completion ResolveReadRegistry(InstallState& app);

// Replaces "%VERSION" and "%PATCH" in a text shown to the user.
std::string SubstituteDisplayText(const ScriptSections& script, std::string_view text);

// Turns every two-character "\n" into a line break.
std::string ConvertLineBreaks(std::string_view text);

}  // namespace rvx::installer
