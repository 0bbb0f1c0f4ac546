// Turns a host error number into the platform's status, with a detail naming the Windows path.
#pragma once

#include <string>
#include <string_view>

#include "platform/result.h"

namespace rvx::sandbox {

platform::Error HostError(int error_number, std::string_view windows_path);

}  // namespace rvx::sandbox
