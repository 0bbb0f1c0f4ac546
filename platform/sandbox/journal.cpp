// The simulated machine's journal.
#include "platform/sandbox/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/text/text.h"
#include "platform/sandbox/folder_name_index.h"

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

namespace {

// How much may wait, and for how long: a person or a test watching the journal during a long copy
// still sees it move, and a crash loses at most that much.
constexpr size_t kMostWaiting = 8192;
constexpr auto kLongestWait = std::chrono::milliseconds(200);

}  // namespace

Journal::~Journal() {
    (void)Flush();
    Close();
}

void Journal::Close() {
    if (watch_ >= 0) names_->UnwatchFile(watch_);
    watch_ = -1;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void Journal::AppendLine(std::string& text, std::string_view kind, const std::vector<std::string>& fields) {
    text += kind;
    for (const auto& field : fields) {
        text += ' ';
        text += field;
    }
    text += '\n';
}

platform::Outcome Journal::Write(std::string_view kind, const std::vector<std::string>& fields) {
    if (waiting_.empty()) {
        std::string line;
        AppendLine(line, kind, fields);
        return Append(line);
    }
    AppendLine(waiting_, kind, fields);
    return Flush();
}

void Journal::WriteSoon(std::string_view kind, const std::vector<std::string>& fields) {
    const auto now = std::chrono::steady_clock::now();
    if (waiting_.empty()) waiting_since_ = now;
    AppendLine(waiting_, kind, fields);
    if (waiting_.size() >= kMostWaiting || now - waiting_since_ >= kLongestWait) (void)Flush();
}

platform::Outcome Journal::Flush() {
    if (waiting_.empty()) return {};
    const platform::Outcome written = Append(waiting_);
    waiting_.clear();
    return written;
}

platform::Outcome Journal::Append(const std::string& line) {
    // A journal deleted since it was opened (no name left for the open file) is made again, as
    // opening it for each line did.
    if (fd_ >= 0 && !(watch_ >= 0 && names_->FileUnchanged(watch_))) {
        struct stat info;
        if (::fstat(fd_, &info) != 0 || info.st_nlink == 0) Close();
        else if (watch_ >= 0) names_->FileChecked(watch_);
    }
    if (fd_ < 0) {
        fd_ = ::open(host_path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd_ < 0) return platform::Fail(platform::Status::io_error, "cannot open " + host_path_);
        if (names_) {
            // Watched only when the name still holds the file just opened.
            watch_ = names_->WatchOpenFile(host_path_);
            struct stat opened, named;
            if (watch_ >= 0 && !(::fstat(fd_, &opened) == 0 && ::stat(host_path_.c_str(), &named) == 0 &&
                                 opened.st_dev == named.st_dev && opened.st_ino == named.st_ino)) {
                names_->UnwatchFile(watch_);
                watch_ = -1;
            }
        }
    }
    const ssize_t written = ::write(fd_, line.data(), line.size());
    if (written != static_cast<ssize_t>(line.size()))
        return platform::Fail(platform::Status::io_error, "cannot write " + host_path_);
    return {};
}

}  // namespace rvx::sandbox
