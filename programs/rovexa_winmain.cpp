// Rovexa.exe: the installer on the real machine (the system's entry point is in platform/win32).
#include "common/app/exit_codes.h"
#include "installer/core/install_app.h"
#include "installer_pages.h"
#include "installer_strings.h"
#include "platform/program_entry.h"

namespace rvx::platform {

std::span<const text::StringEntry> ProgramStrings() { return installer::kBuiltInStrings; }

std::span<const DialogDescription* const> ProgramDialogs() { return installer::dialogs::kAllDialogs; }

int RunProgram(Platform& platform) { return installer::InstallApp(platform).Execute(app::kExitCouldNotStart); }

}  // namespace rvx::platform
