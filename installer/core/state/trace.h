// The debug trace: with "/DEBUG" on the command line, texts are appended unchanged to
// "c:\install.log", with no time stamps and no added line ends.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace rvx::installer {

class Trace {
public:
    // Opens (and empties) the trace file; tracing stays off when it cannot be opened.
    platform::Outcome Open(platform::FileSystem& files, std::string_view path);
    bool enabled() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    // Writes nothing when tracing is off.
    void Write(std::string_view text);
    void Close() { file_.reset(); }

private:
    std::unique_ptr<platform::File> file_;
    std::string path_;
};

}  // namespace rvx::installer
