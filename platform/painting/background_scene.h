// What the background window shows on a screen of a given size: the look the installer asked
// for, with the background picture chosen for the screen and both pictures read from the medium.
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/painting/background_painter.h"
#include "platform/user_interface.h"

namespace rvx::platform::painting {

// A picture that cannot be read is left out: the gradient shows instead of a background
// picture, and nothing instead of a small one.
BackgroundScene PrepareBackground(const BackgroundLook& look, std::string title, Size client, FileSystem& files);

}  // namespace rvx::platform::painting
