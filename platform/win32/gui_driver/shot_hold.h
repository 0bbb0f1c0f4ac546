// The hold for modeless windows: a window that a stage shows and closes on its own (the search
// window, the progress page) may live for only a few milliseconds, too briefly for a driver
// that looks every so often. So the driver places a hook (rvxhook.dll) in the program's main
// thread: when such a window is about to be destroyed, finished and painted, the hook asks the
// driver for a screenshot and holds the program until it is taken.
#pragma once

#include <string>

#include "platform/win32/win32_api.h"

namespace rvx::gui_driver {

// The events of one program under test: the hook sets the request, the driver the reply.
std::string ShotRequestName(DWORD process_id);
std::string ShotTakenName(DWORD process_id);

// The hook's entry in rvxhook.dll (exported undecorated on every architecture).
inline constexpr const char* kShotHookEntry = "RvxShotHook";
inline constexpr const char* kShotHookLibrary = "rvxhook.dll";

// How long the hook holds the program for one shot at most, so that a driver that has gone
// away cannot keep it waiting for ever.
inline constexpr DWORD kHoldLimitMilliseconds = 20000;

}  // namespace rvx::gui_driver
