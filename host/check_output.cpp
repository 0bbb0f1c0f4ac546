// The script checker's report as text.
#include "host/check_output.h"

#include <cstdio>
#include <map>

namespace rvx::host {

namespace {

const char* SeverityName(Severity severity) { return severity == Severity::error ? "error" : "warning"; }

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string ReportForPeople(const CheckReport& report, bool colour) {
    std::map<std::string, std::vector<const Problem*>> by_file;
    for (const auto& problem : report.problems) by_file[problem.file].push_back(&problem);
    std::string out;
    size_t errors = 0;
    size_t warnings = 0;
    for (const auto& [file, problems] : by_file) {
        out += (colour ? "\033[1m" : "") + file + (colour ? "\033[0m" : "") + "\n";
        for (const Problem* problem : problems) {
            const bool error = problem->severity == Severity::error;
            (error ? errors : warnings) += 1;
            out += "  " + (problem->line == 0 ? std::string("script") : "line " + std::to_string(problem->line)) + ": ";
            if (colour) out += error ? "\033[31m" : "\033[33m";
            out += SeverityName(problem->severity);
            if (colour) out += "\033[0m";
            out += ": " + problem->message;
            if (!problem->readings.empty()) out += " [" + problem->readings + "]";
            out += "\n";
        }
    }
    out += std::to_string(errors) + " error(s), " + std::to_string(warnings) + " warning(s)\n";
    return out;
}

std::string ReportAsJson(const CheckReport& report) {
    std::string out = "{\"unreadable\": " + std::string(report.unreadable ? "true" : "false") + ", \"problems\": [";
    bool first = true;
    for (const auto& problem : report.problems) {
        out += first ? "\n  " : ",\n  ";
        first = false;
        out += "{\"file\": " + JsonString(problem.file) + ", \"line\": " + std::to_string(problem.line) +
               ", \"severity\": \"" + SeverityName(problem.severity) + "\", \"message\": " + JsonString(problem.message) +
               ", \"readings\": " + JsonString(problem.readings) + "}";
    }
    out += first ? "]}\n" : "\n]}\n";
    return out;
}

}  // namespace rvx::host
