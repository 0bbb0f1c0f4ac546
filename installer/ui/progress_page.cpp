// The progress page's state and its updates.
#include "installer/ui/progress_page.h"

#include <algorithm>

namespace rvx::installer {

namespace {
int Clamp(long long percent) { return static_cast<int>(std::clamp<long long>(percent, 0, 100)); }
}  // namespace

void ProgressPage::Open(std::string_view caption) {
    if (open_) return;
    open_ = true;
    line1_.clear();
    file_bar_ = 0;
    overall_bar_ = 0;
    ui_.ShowProgress(caption);
    ui_.SetProgressText(1, line1_);
    ui_.SetProgressText(2, line2_);
    SendBars();
}

void ProgressPage::Close() {
    if (!open_) return;
    open_ = false;
    ui_.CloseProgress();
}

void ProgressPage::SetLine1(std::string_view text) {
    if (text == line1_) return;
    line1_ = text;
    if (open_) ui_.SetProgressText(1, line1_);
}

void ProgressPage::SetLine2(std::string_view text) {
    if (text == line2_) return;
    line2_ = text;
    if (open_) ui_.SetProgressText(2, line2_);
}

void ProgressPage::SetFileBar(long long percent) {
    const int value = Clamp(percent);
    if (value == file_bar_) return;
    file_bar_ = value;
    SendBars();
}

void ProgressPage::SetOverallBar(long long percent) {
    const int value = Clamp(percent);
    if (value == overall_bar_) return;
    overall_bar_ = value;
    SendBars();
}

void ProgressPage::SendBars() {
    if (open_) ui_.SetProgressBars(file_bar_, overall_bar_);
}

}  // namespace rvx::installer
