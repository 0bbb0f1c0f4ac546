// Ties the Windows services into one bundle.
#include "platform/win32/win32_platform.h"

namespace rvx::win32 {

Win32Platform::Win32Platform(HINSTANCE instance, std::span<const text::StringEntry> built_in_strings,
                             std::span<const platform::DialogDescription* const> dialogs)
    : resources(instance, built_in_strings, dialogs),
      ui(instance, resources, dialogs, files),
      bundle{files, registry, environment, shell, services, processes, power, fonts, program_manager, resources, directx,
             ui, clock} {}

}  // namespace rvx::win32
