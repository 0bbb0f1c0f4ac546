// Rovexa.exe: the installer bound to the real machine.
#include "installer/core/install_app.h"
#include "installer_strings.h"
#include "common/app/exit_codes.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    rvx::win32::Win32Platform machine(instance, rvx::installer::kBuiltInStrings);
    return rvx::installer::InstallApp(machine.bundle).Execute(rvx::app::kExitCouldNotStart);
}
