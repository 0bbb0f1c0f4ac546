// Fuzz target: the script's condition expressions, "#if" lines against declared variants and
// comparisons of the form "left, right, operator", over script variables of their own. The
// first input line is the "#if" line, the rest one comparison each. Each must be decided without
// fault (an undefined variable stops the installer, which is a valid outcome), the same way
// every time.
#include <cstddef>
#include <cstdint>
#include <string>

#include "installer/core/install_app.h"
#include "installer/script/conditions.h"
#include "installer/script/variables.h"
#include "tests/support/scratch_machine.h"

namespace {

// The condition's result, or the undefined variable that stopped the installer.
std::string Decide(const rvx::installer::OrStop<bool>& decided) {
    if (!decided.stopped()) return *decided ? "true" : "false";
    // A stop names the variable as written, from its percent sign on.
    if (!decided.stop().variable.starts_with('%')) __builtin_trap();
    return decided.stop().variable;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static rvx::test_support::ScratchMachine machine("rvx-conditions-fuzz", "");
    machine.StartRun();
    rvx::installer::InstallApp app(machine.platform());
    app.script().user_variables = {"NAME=Demo", "EMPTY=", "PATH=C:\\Prog", "SELF=%NAME%"};
    app.script().variant_symbols = "|1|LITE|2|FULL|";
    app.script().variant_number = 2;

    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    bool first = true;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(start, end - start);
        start = end + 1;
        const auto decide = [&] {
            return first ? Decide(rvx::installer::EvaluateVariantCondition(app, line))
                         : Decide(rvx::installer::EvaluateComparison(app, line));
        };
        const std::string once = decide();
        const std::string again = decide();
        if (once != again) __builtin_trap();
        first = false;
    }
    return 0;
}
