// Command-line options of the host programs.
#include "host/host_options.h"

#include <cctype>

namespace rvx::host {

std::optional<std::string> ParseRunOptions(int argc, char** argv, const OptionSpec& accepted, RunOptions& options) {
    bool drive_given = false;
    bool type_given = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            (void)name;
            return std::string(argv[++i]);
        };
        if (arg == "--") {
            for (++i; i < argc; ++i) options.arguments.emplace_back(argv[i]);
            break;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--machine") {
            auto v = value("--machine");
            if (!v) return "--machine needs a folder";
            options.machine = *v;
        } else if (arg == "--ui") {
            auto v = value("--ui");
            if (!v || (*v != "console" && v->rfind("script:", 0) != 0 ) || *v == "script:")
                return "--ui needs console or script:FILE";
            options.ui = *v;
        } else if (accepted.accepts_medium && arg == "--medium") {
            auto v = value("--medium");
            if (!v) return "--medium needs a host folder";
            options.medium = *v;
        } else if (accepted.accepts_medium && arg == "--medium-drive") {
            auto v = value("--medium-drive");
            if (!v || v->size() != 1 || !std::isalpha(static_cast<unsigned char>((*v)[0])))
                return "--medium-drive needs a drive letter";
            options.medium_drive = static_cast<char>(std::toupper(static_cast<unsigned char>((*v)[0])));
            drive_given = true;
        } else if (accepted.accepts_medium && arg == "--medium-type") {
            auto v = value("--medium-type");
            if (!v || (*v != "cdrom" && *v != "removable" && *v != "fixed" && *v != "network"))
                return "--medium-type needs cdrom, removable, fixed or network";
            options.medium_type = *v;
            type_given = true;
        } else if (accepted.accepts_medium && arg == "--disk") {
            auto v = value("--disk");
            if (!v) return "--disk needs a host folder";
            options.disks.push_back(*v);
        } else if (accepted.accepts_medium && arg == "--medium-writable") {
            options.medium_writable = true;
        } else if (arg == "--program") {
            auto v = value("--program");
            if (!v) return "--program needs a Windows path";
            options.program = *v;
        } else if (accepted.accepts_cwd && arg == "--cwd") {
            auto v = value("--cwd");
            if (!v) return "--cwd needs a Windows folder";
            options.cwd = *v;
        } else {
            return "unknown option " + arg;
        }
    }
    if (options.help) return std::nullopt;
    if (options.machine.empty()) return "--machine is required";
    if (accepted.accepts_medium && options.medium.empty()) return "--medium is required";
    if (!options.disks.empty()) {
        if (!drive_given) options.medium_drive = 'A';
        if (!type_given) options.medium_type = "removable";
    }
    return std::nullopt;
}

std::string WindowsCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const auto& argument : arguments) {
        if (!line.empty()) line += ' ';
        const bool quote = argument.find_first_of(" \t") != std::string::npos && argument.find('"') == std::string::npos;
        line += quote ? "\"" + argument + "\"" : argument;
    }
    return line;
}

}  // namespace rvx::host
