// The debug trace both programs write: texts appended unchanged to one file, with no time
// stamps and no added line ends. The installer empties it when "/DEBUG" starts a trace; the
// uninstaller adds to it, so that an installation's trace and its removal's read as one.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace rvx::app {

// The trace file of both programs.
inline constexpr const char* kTraceFilePath = "c:\\install.log";

// Whether opening the trace keeps what the file holds.
enum class TraceStart { emptied, appended };

class Trace {
public:
    // Opens the trace file; tracing stays off when it cannot be opened.
    platform::Outcome Open(platform::FileSystem& files, std::string_view path, TraceStart start = TraceStart::emptied);
    bool enabled() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    // Writes nothing when tracing is off.
    void Write(std::string_view text);
    void Close() { file_.reset(); }

private:
    std::unique_ptr<platform::File> file_;
    std::string path_;
};

}  // namespace rvx::app
