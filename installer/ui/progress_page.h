// The progress page as the installer's stages drive it: two text lines and two percentage bars
// (the current file's and the whole stage's). Unchanged values are not sent again, so that a
// stage may report after every chunk it copies without flooding the user interface.
#pragma once

#include <string>
#include <string_view>

#include "platform/user_interface.h"

namespace rvx::installer {

class ProgressPage {
public:
    explicit ProgressPage(platform::UserInterface& ui) : ui_(ui) {}

    // Shows the page (first line and both bars cleared); does nothing when it is already shown.
    void Open(std::string_view caption);
    void Close();
    bool is_open() const { return open_; }

    void SetLine1(std::string_view text);
    void SetLine2(std::string_view text);
    // Percentages are clamped to 0..100.
    void SetFileBar(long long percent);
    void SetOverallBar(long long percent);

    const std::string& line1() const { return line1_; }
    const std::string& line2() const { return line2_; }
    int file_bar() const { return file_bar_; }
    int overall_bar() const { return overall_bar_; }

private:
    void SendBars();

    platform::UserInterface& ui_;
    bool open_ = false;
    std::string line1_;
    std::string line2_;
    int file_bar_ = 0;
    int overall_bar_ = 0;
};

}  // namespace rvx::installer
