// The names the driver and its hook share.
#include "platform/win32/gui_driver/shot_hold.h"

namespace rvx::gui_driver {

std::string ShotRequestName(DWORD process_id) { return "rvxdrive-shot-request-" + std::to_string(process_id); }

std::string ShotTakenName(DWORD process_id) { return "rvxdrive-shot-taken-" + std::to_string(process_id); }

}  // namespace rvx::gui_driver
