// Shortcut files read back by lnkinfo, a reader of the format written by others: what the
// tests check of a shortcut is what that reader finds in it, not what the writer meant to write.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/temp_machine.h"

namespace rvx::test_support {

struct LnkInfo {
    std::string output;                         // the whole report, for failure messages
    std::map<std::string, std::string> values;  // "Local path" -> "C:\Prog\edit.exe", ...

    std::string operator[](const std::string& label) const {
        auto found = values.find(label);
        return found == values.end() ? std::string("<none>") : found->second;
    }
};

// Runs the reader on file; its "label : value" lines become values.
inline LnkInfo ReadWithLnkinfo(const std::string& lnkinfo, const std::filesystem::path& file) {
    const std::filesystem::path report = file.string() + ".report";
    const std::string command = "\"" + lnkinfo + "\" \"" + file.string() + "\" > \"" + report.string() + "\" 2>&1";
    LnkInfo info;
    const int status = std::system(command.c_str());
    info.output = Slurp(report);
    std::filesystem::remove(report);
    if (status != 0) info.output = "lnkinfo failed (" + std::to_string(status) + "):\n" + info.output;
    std::istringstream lines(info.output);
    for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        std::string label = line.substr(0, colon);
        const size_t first = label.find_first_not_of(" \t");
        const size_t last = label.find_last_not_of(" \t");
        if (first == std::string::npos) continue;
        info.values[label.substr(first, last - first + 1)] = line.substr(colon + 2);
    }
    return info;
}

}  // namespace rvx::test_support
