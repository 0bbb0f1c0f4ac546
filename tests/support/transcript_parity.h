// The parity check of the GUI tests (tests/wine/transcript_compare): the interactions of a host
// journal and of a GUI driver's transcript (their PAGE, MESSAGE and BROWSE lines), read from
// text, and the differences between two such lists that the two systems may not make.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace rvx::parity {

struct Interaction {
    std::string kind;                   // PAGE, MESSAGE or BROWSE
    std::vector<std::string> shown;     // fields before "->"
    std::vector<std::string> answered;  // "->" and after (pages)
    std::string line;
};

// The interaction lines of a journal or transcript, in order; other lines are passed over. A
// line that cannot be split into words is an error naming the file and the line.
platform::Result<std::vector<Interaction>> ReadInteractions(std::string_view text, std::string_view file_name);

// Every difference between the two lists, as report lines; empty when they are the same.
std::vector<std::string> CompareInteractions(const std::vector<Interaction>& host, const std::vector<Interaction>& windows);

}  // namespace rvx::parity
