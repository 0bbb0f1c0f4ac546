// Runs a batch file on the simulated machine the way the command interpreter would, for the
// commands programs leave behind in batch files: ":label", "goto", "if [not] exist PATH command",
// "del", "rmdir"/"rd", "rem" and "echo". A failed command prints its message (journaled) and the
// batch goes on; a batch that deleted itself ends after that line, since the interpreter reads
// each line from the file when it comes to it. Every command carried out is journaled as a
// BATCH line with its result; a line the machine does not understand is journaled and skipped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/sandbox/journal.h"

namespace rvx::sandbox {

struct BatchReport {
    size_t lines = 0;         // lines executed, labels and comments included
    size_t failed = 0;        // commands that failed or were not understood
    bool stopped = false;     // the line guard ended a batch that would not end by itself
    bool deleted_itself = false;
};

class BatchRunner {
public:
    static constexpr size_t kLineLimit = 10000;

    // files acts with the rights of the batch (a program's); relative paths start at its current folder.
    BatchRunner(platform::FileSystem& files, Journal& journal, size_t line_limit = kLineLimit)
        : files_(files), journal_(journal), line_limit_(line_limit) {}

    // Reads and runs the batch file at batch_path; fails only when the file cannot be read.
    platform::Result<BatchReport> Run(std::string_view batch_path);

private:
    enum class Flow { next, jump, end };
    Flow Execute(std::string_view line, std::string& jump_label, BatchReport& report);
    // del (files) or rmdir (empty folders) of every path the command names.
    Flow RemoveEach(std::string_view command, std::string_view rest, bool folders, BatchReport& report);
    void Log(std::string_view command, std::string_view result, std::string_view message = {});

    platform::FileSystem& files_;
    Journal& journal_;
    size_t line_limit_;
    std::string batch_;
};

}  // namespace rvx::sandbox
