// The simulated machine's journal.
#include "platform/sandbox/journal.h"

#include <fcntl.h>
#include <unistd.h>

#include "common/text/text.h"

namespace rvx::sandbox {

const char* ShowStateName(platform::ShowState show) {
    switch (show) {
    case platform::ShowState::normal: return "normal";
    case platform::ShowState::hidden: return "hidden";
    case platform::ShowState::minimized: return "minimized";
    case platform::ShowState::maximized: return "maximized";
    }
    return "normal";
}

platform::Outcome Journal::Write(std::string_view kind, const std::vector<std::string>& fields) {
    std::string line(kind);
    for (const auto& field : fields) line += " " + field;
    line += "\n";
    int fd = ::open(host_path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return platform::Fail(platform::Status::io_error, "cannot open " + host_path_);
    ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
    if (written != static_cast<ssize_t>(line.size()))
        return platform::Fail(platform::Status::io_error, "cannot write " + host_path_);
    return {};
}

}  // namespace rvx::sandbox
