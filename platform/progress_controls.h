// The controls of the two programs' progress windows (dialog 130 of each), which the platforms
// fill from the progress calls of the user interface: the installer's page has two text lines
// and two percentage bars, the uninstaller's window a heading, an action line and a progress bar.
#pragma once

namespace rvx::platform::progress_controls {

inline constexpr int kDialog = 130;

// The installer's progress page.
inline constexpr int kFirstLine = 102;
inline constexpr int kSecondLine = 104;
inline constexpr int kUpperBar = 105;  // the whole stage
inline constexpr int kLowerBar = 103;  // the current file

// The uninstaller's progress window: the caption goes into its heading, the first line into its
// action, and the whole's percentage into its progress bar.
inline constexpr int kHeading = 1004;
inline constexpr int kAction = 1002;
inline constexpr int kBlankLine = 1003;
inline constexpr int kProgressBar = 1007;

}  // namespace rvx::platform::progress_controls
