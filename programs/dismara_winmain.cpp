// Dismara.exe: the uninstaller bound to the real machine.
#include "common/app/exit_codes.h"
#include "platform/win32/win32_platform.h"
#include "uninstaller/uninstall_app.h"
#include "uninstaller_strings.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    rvx::win32::Win32Platform machine(instance, rvx::uninstaller::kBuiltInStrings);
    return rvx::uninstaller::UninstallApp(machine.bundle).Execute(rvx::app::kExitCouldNotStart);
}
