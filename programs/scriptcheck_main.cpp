// scriptcheck: checks an install script as the installer reads it, for script authors.
#include <iostream>
#include <string>

#include <unistd.h>

#include "host/check_output.h"
#include "host/script_checker.h"

namespace {

constexpr const char* kHelp = R"(Usage: scriptcheck [--medium HOSTDIR] [--format text|json] SCRIPT

Reads the install script SCRIPT (an Install.ini) exactly as the installer reads it, once for
every language letter its headers carry (F always) and every variant its [NORVNO] lines
declare, on a scratch simulated machine with the medium as drive D:, and reports every
problem with its line: unknown or misspelled headers, missing required sections, "#if"
misuse and undeclared variants, undefined variables, files of [FILES] missing from the
medium or of another size, disk markers without their marker files, unquoted program paths
of UninstallString values, and patterns that harm the user's machine.

Options:
  --medium HOSTDIR       the host folder of the medium's root (default: the script's folder)
  --format text|json     problems for people (default; coloured on a terminal) or for tools
  --help                 show this text

Exit codes: 0 no error (warnings may be listed), 1 errors found, 2 the script cannot be
read, 64 wrong options.
)";

int Usage(const std::string& message) {
    std::cerr << "scriptcheck: " << message << "\nTry 'scriptcheck --help'.\n";
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    rvx::host::CheckRequest request;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--medium" && i + 1 < argc) {
            request.medium = argv[++i];
        } else if (arg == "--format" && i + 1 < argc) {
            const std::string format = argv[++i];
            if (format != "text" && format != "json") return Usage("--format needs text or json");
            json = format == "json";
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage("unknown option " + arg);
        } else if (request.script.empty()) {
            request.script = arg;
        } else {
            return Usage("only one script at a time");
        }
    }
    if (request.script.empty()) return Usage("no script given");
    std::cerr << "scriptcheck: reading " << request.script << " in every language and variant...\n";
    const rvx::host::CheckReport report = rvx::host::CheckScript(request);
    if (json) std::cout << rvx::host::ReportAsJson(report);
    else std::cout << rvx::host::ReportForPeople(report, isatty(STDOUT_FILENO) != 0);
    if (report.unreadable) return 2;
    return report.HasErrors() ? 1 : 0;
}
