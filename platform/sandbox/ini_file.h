// A small reader for the simulated machine's description (machine.ini): [sections] of
// key=value lines or plain lines, ";" and "#" comments. Errors name the file and the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace rvx::sandbox {

struct IniLine {
    int number = 0;      // 1-based line number in the file
    std::string key;     // text before "=", trimmed; the whole line when there is no "="
    std::string value;   // text after "=", trimmed
    bool has_value = false;
};

struct IniSection {
    std::string name;  // without brackets, lower case
    int number = 0;
    std::vector<IniLine> lines;
};

// Parses the text; file_name is used in error details ("machine.ini line 4: ...").
platform::Result<std::vector<IniSection>> ParseIni(std::string_view text, std::string_view file_name);

}  // namespace rvx::sandbox
