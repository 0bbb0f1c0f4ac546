// Restarting the computer: on the NT family the process first takes the shutdown privilege.
#pragma once

#include "platform/system_services.h"

namespace rvx::win32 {

class Win32Power : public platform::Power {
public:
    platform::Outcome Restart() override;
};

}  // namespace rvx::win32
