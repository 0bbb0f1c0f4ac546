// The answer file of an unattended installation: lines keyword=value, read into the answers
// of the install state.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "installer/core/state/install_state.h"

namespace rvx::installer {

struct AnswerFileResult {
    // The lower-cased keyword that stopped the reading; nothing when every line was understood.
    std::optional<std::string> unknown_keyword;
};

// Reads the file's text into answers, line by line, until an unknown keyword. Lines that do
// not split into exactly two fields at "=" are ignored.
AnswerFileResult ParseAnswerFile(std::string_view content, Answers& answers);

}  // namespace rvx::installer
