// The script checker's report, for people (grouped by file and line, coloured on a terminal) and
// as JSON for tools.
#pragma once

#include <string>

#include "host/script_checker.h"

namespace rvx::host {

std::string ReportForPeople(const CheckReport& report, bool colour);
std::string ReportAsJson(const CheckReport& report);

}  // namespace rvx::host
