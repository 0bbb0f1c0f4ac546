// The simulated machine's journal (journal.log): one line per action that the machine cannot
// show as a file or registry change, and the transcript of every message box and page. Each
// line is a kind in capitals followed by key="value" fields with C escapes, so that tests and
// people can read it back line by line (docs/simulated-machine.md).
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/result.h"
#include "platform/sandbox/transcript.h"
#include "platform/shell.h"

namespace rvx::sandbox {

class FolderNameIndex;

// How a window is shown, as journal lines name it ("normal", "hidden", ...).
const char* ShowStateName(platform::ShowState show);

class Journal {
public:
    // With an index of the machine's folders, the file's name is watched through the index's
    // change queue instead of asking the host before each line whether it is still there.
    explicit Journal(std::string host_path, FolderNameIndex* names = nullptr) : host_path_(std::move(host_path)), names_(names) {}
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    // Appends "KIND field field ..." and a line end in one write; the file is written through at
    // once so a crash never loses what was already journaled. The file is opened at the first
    // line and kept open for appending; a file deleted meanwhile is made again.
    platform::Outcome Write(std::string_view kind, const std::vector<std::string>& fields);
    // The same line, allowed to wait for the next written line (for a short while at most) and
    // go out with it in one write: for lines that come in runs and only say how far something
    // got, such as progress bars, whose loss in a crash loses nothing that happened.
    void WriteSoon(std::string_view kind, const std::vector<std::string>& fields);
    // Writes the lines still waiting.
    platform::Outcome Flush();
    const std::string& host_path() const { return host_path_; }

private:
    static void AppendLine(std::string& text, std::string_view kind, const std::vector<std::string>& fields);
    platform::Outcome Append(const std::string& text);
    void Close();

    std::string host_path_;
    FolderNameIndex* names_ = nullptr;
    int fd_ = -1;
    int watch_ = -1;  // the open file's watch in names_
    std::string waiting_;  // lines of WriteSoon not written yet
    std::chrono::steady_clock::time_point waiting_since_;
};

}  // namespace rvx::sandbox
