// The script checker's look at the stored sections, line by line, through the installer's own
// line parsers: registry lines, shortcut lines, created files, final commands, stop-program
// lines, the variables each line uses when it is expanded, and the patterns that harm the user's
// machine.
#pragma once

#include <functional>
#include <string>

#include "host/script_checker.h"
#include "installer/core/state/install_state.h"
#include "installer/script/section_catalogue.h"

namespace rvx::host {

// The list a section's lines are stored in; nothing for sections that are not lists.
const installer::TextList* ListOf(const installer::ScriptSections& script, installer::Section code);

// Receives a problem of an entry of a stored list.
using ReportLine = std::function<void(const installer::TextList& list, size_t index, Severity, std::string message)>;

// Checks every stored line that the installer parses or expands later in the run, on the install
// state as the reading left it with an installation folder set.
void CheckSectionLines(installer::InstallState& app, const ReportLine& report);

}  // namespace rvx::host
