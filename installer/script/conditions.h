// Conditions of the install script: the variant conditions of "#if" lines and the comparison
// conditions of [WARNDIRCOND] and [UNINSTALLMESSAGECOND].
#pragma once

#include <string_view>

#include "installer/script/expansion.h"
#include "installer/script/variables.h"

namespace rvx::installer {

// Evaluates a whole "#if" line against the script's declared variants; an undeclared symbol
// shows "Expression incorrecte:\n%s" on the sources' user interface and makes the condition false.
bool EvaluateVariantCondition(const ExpansionSources& sources, std::string_view if_line);

// Evaluates "left, right, operator" after expansion; "==" and "!=" compare ignoring case. An
// undefined variable in the condition gives the stop.
OrStop<bool> EvaluateComparison(const ExpansionSources& sources, std::string_view condition);

}  // namespace rvx::installer
