// The uninstaller's progress window, on the user interface's progress page: the action on its
// first line, the second line left blank, and the position as a share of the whole bar.
#include "uninstaller/removal_progress.h"

#include <algorithm>

namespace rvx::uninstaller {

void RemovalProgress::Open(std::string_view heading, size_t line_count) {
    if (open_) return;
    ui_.ShowProgress(heading);
    open_ = true;
    line_count_ = line_count;
    status_.clear();
    percent_ = -1;
    SetPosition(1);
}

void RemovalProgress::Close() {
    if (!open_) return;
    ui_.CloseProgress();
    open_ = false;
}

void RemovalProgress::SetStatus(std::string_view text) {
    if (!open_ || text == status_) return;
    status_ = std::string(text);
    ui_.SetProgressText(1, status_);
}

void RemovalProgress::SetPosition(size_t position) {
    if (!open_) return;
    // The bar's range is 1..line_count; a log of one line (or none) is full at once.
    const size_t span = line_count_ > 1 ? line_count_ - 1 : 1;
    const size_t done = std::clamp<size_t>(position, 1, std::max<size_t>(line_count_, 1)) - 1;
    const int percent = line_count_ > 1 ? static_cast<int>(done * 100 / span) : 100;
    if (percent == percent_) return;
    percent_ = percent;
    ui_.SetProgressBars(0, percent);
}

}  // namespace rvx::uninstaller
