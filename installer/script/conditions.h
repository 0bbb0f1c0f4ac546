// Conditions of the install script: the variant conditions of "#if" lines and the comparison
// conditions of [WARNDIRCOND] and [UNINSTALLMESSAGECOND].
#pragma once

#include <string_view>

#include "installer/script/expansion.h"

namespace rvx::installer {

class InstallState;

// Evaluates a whole "#if" line against the declared variants; an undeclared symbol shows
// "Expression incorrecte:\n%s" and makes the condition false.
bool EvaluateVariantCondition(InstallState& app, std::string_view if_line);

// Evaluates "left, right, operator" after expansion; "==" and "!=" compare ignoring case. An
// undefined variable in the condition gives the stop.
OrStop<bool> EvaluateComparison(InstallState& app, std::string_view condition);

}  // namespace rvx::installer
