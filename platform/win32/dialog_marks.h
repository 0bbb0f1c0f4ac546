// How the programs' dialogs make themselves known to the GUI tests: every page sets a window
// property holding its dialog id, modal pages under one name and modeless windows under another,
// so that a driver can tell a page from the system's message boxes and folder browser.
#pragma once

namespace rvx::win32 {

inline constexpr const char* kModalPageProperty = "RovexaPage";
inline constexpr const char* kModelessWindowProperty = "RovexaWindow";

}  // namespace rvx::win32
