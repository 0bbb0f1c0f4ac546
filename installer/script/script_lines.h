// The physical lines of the install script, read from the open file a block at a time, so that
// a script of any length never sits whole in memory. Each line is handed out whole, whatever
// its length.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/result.h"

namespace rvx::installer {

class ScriptLines {
public:
    explicit ScriptLines(std::unique_ptr<platform::File> file) : file_(std::move(file)) {}

    // Reads the first block; fails as the read fails, so that a script that cannot be read at all
    // counts as one that cannot be opened.
    platform::Outcome Start();

    // The next line without its "\n" and a "\r" before it, valid until the next call; false after
    // the last line (an empty piece after the last "\n" is no line). A read that fails later ends
    // the lines with its error.
    platform::Result<bool> Next(std::string_view& line);

private:
    platform::Outcome ReadBlock();

    std::unique_ptr<platform::File> file_;
    std::string bytes_;    // read and not yet handed out from start_ on
    size_t start_ = 0;     // where the next line begins in bytes_
    size_t searched_ = 0;  // bytes_ holds no "\n" between start_ and here
    bool at_end_ = false;
};

}  // namespace rvx::installer
