// Dismara.exe: the uninstaller on the real machine (the system's entry point is in platform/win32).
#include "common/app/exit_codes.h"
#include "platform/program_entry.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller_pages.h"
#include "uninstaller_strings.h"

namespace rvx::platform {

std::span<const text::StringEntry> ProgramStrings() { return uninstaller::kBuiltInStrings; }

std::span<const DialogDescription* const> ProgramDialogs() { return uninstaller::dialogs::kAllDialogs; }

int RunProgram(Platform& platform) { return uninstaller::UninstallApp(platform).Execute(app::kExitCouldNotStart); }

}  // namespace rvx::platform
