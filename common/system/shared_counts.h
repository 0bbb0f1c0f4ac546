// The system's shared-library register, as both programs read and write it: the key, and the
// count each shared file's value holds. The installer raises a count, the uninstaller lowers it.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/registry.h"

namespace rvx::system {

// Below HKEY_LOCAL_MACHINE; one value per shared file, named by the file's full path.
inline constexpr const char* kSharedDllsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The count a value holds, read as into a 4-byte buffer that starts at 0: data of up to four
// bytes, of any type, low byte first. Nothing for longer data, which does not fit the buffer.
std::optional<uint32_t> DecodeSharedCount(const platform::RegValue& value);

// A count to store, as four bytes of the given type (REG_DWORD unless a stored value's own type
// is kept).
platform::RegValue EncodeSharedCount(uint32_t count, uint32_t type = platform::value_type::dword);

}  // namespace rvx::system
