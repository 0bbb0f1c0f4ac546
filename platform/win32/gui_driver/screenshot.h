// Screenshots for the GUI driver: the whole screen as a 24-bit Windows bitmap file, which the
// test harness turns into PNG.
#pragma once

#include <string>

#include "platform/result.h"

namespace rvx::gui_driver {

platform::Outcome SaveScreenshot(const std::string& bmp_path);

}  // namespace rvx::gui_driver
