// Conditions of the install script: "#if" lines tested against the declared variants, and the
// "left, right, operator" comparisons.
#include "installer/script/conditions.h"

#include <string>

#include "common/app/dialogs.h"
#include "common/text/field_splitter.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/script/variables.h"
#include "installer_strings.h"

namespace rvx::installer {

namespace {

// Whether every symbol between the bars of expression was declared by a [NORVNO] line. Empty
// pieces ("A||B", a leading or final "|") name no symbol and are passed over.
bool SymbolsDeclared(const ScriptSections& script, std::string_view expression) {
    size_t start = 0;
    while (start <= expression.size()) {
        size_t bar = expression.find('|', start);
        if (bar == std::string_view::npos) bar = expression.size();
        std::string_view symbol = expression.substr(start, bar - start);
        if (!symbol.empty() && script.variant_symbols.find("|" + std::string(symbol) + "|") == std::string::npos)
            return false;
        start = bar + 1;
    }
    return true;
}

}  // namespace

bool EvaluateVariantCondition(const ExpansionSources& sources, std::string_view if_line) {
    size_t space = if_line.find(' ');
    if (space == std::string_view::npos) return true;
    // Symbols are not trimmed: "#if  PRO" names " PRO", which no variant declares.
    std::string_view expression = if_line.substr(space + 1);
    if (expression.starts_with("_WIN32")) return true;

    const ScriptSections& script = sources.script;
    if (!SymbolsDeclared(script, expression)) {
        // Either answer goes on: the box only tells the script's author.
        const std::string message = text::FormatMessage(app::LoadText(sources.resources, kIncorrectExpression), {if_line});
        (void)ShowInstallerMessage(sources.ui, sources.resources, message, platform::Buttons::ok_cancel);
        return false;
    }
    const std::string barred = "|" + std::string(expression) + "|";
    if (barred.find("|" + script.active_variant_name + "|") != std::string::npos) return true;
    // The number carries its bars, so it is looked for in the barred expression too; while no
    // variant is active it is empty and every declared expression holds.
    return barred.find(script.active_variant_number) != std::string::npos;
}

OrStop<bool> EvaluateComparison(const ExpansionSources& sources, std::string_view condition) {
    if (condition.empty()) return false;
    const Expansion expanded = Expanded(sources, condition);
    if (expanded.stopped()) return expanded.stop();
    auto fields = text::SplitFields(*expanded, ",");
    if (fields.size() < 3) return false;
    const std::string& operation = fields[2];
    if (operation == "==") return text::EqualsIgnoreCase(fields[0], fields[1]);
    if (operation == "!=") return !text::EqualsIgnoreCase(fields[0], fields[1]);
    return false;
}

}  // namespace rvx::installer
