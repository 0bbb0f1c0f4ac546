// Turns Windows error codes into the platform's statuses, with a detail naming the object.
#pragma once

#include <string>
#include <string_view>

#include "platform/result.h"
#include "platform/win32/win32_api.h"

namespace rvx::win32 {

platform::Status StatusFromCode(DWORD code);
// The system's own wording of an error code, without its final line break.
std::string SystemMessage(DWORD code);
platform::Error ErrorFromCode(DWORD code, std::string_view object);
// The error of the last failed call, from GetLastError.
platform::Error LastError(std::string_view object);

}  // namespace rvx::win32
