// The uninstaller's modeless progress window: a heading, the current action, and one bar step
// per log line. Unchanged values are not sent again, so the replay may report on every line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/user_interface.h"

namespace rvx::uninstaller {

class RemovalProgress {
public:
    explicit RemovalProgress(platform::UserInterface& ui) : ui_(ui) {}
    ~RemovalProgress() { Close(); }

    // Shows the window with its heading; the bar runs from 1 to line_count and starts at 1.
    void Open(std::string_view heading, size_t line_count);
    void Close();
    bool is_open() const { return open_; }

    void SetStatus(std::string_view text);
    void SetPosition(size_t position);

    const std::string& status() const { return status_; }

private:
    platform::UserInterface& ui_;
    bool open_ = false;
    size_t line_count_ = 0;
    std::string status_;
    int percent_ = -1;
};

}  // namespace rvx::uninstaller
